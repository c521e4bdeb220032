# <QtTest> is most of what a test program compiles: measured 5 of 11 s CPU for tst_mainform,
# tst_hostile and tst_ui alike. It is compiled once per set of Qt modules and reused by every test
# program with that set. The set matters because QtTest's headers differ with QT_GUI_LIB,
# QT_WIDGETS_LIB and QT_NETWORK_LIB, and GCC takes a precompiled header only where those and every
# other macro defined for it agree; so the header is made in a target of its own that defines
# nothing else. CMake passes -Winvalid-pch, so under TOURWISE_WERROR a header that stops fitting
# fails the build instead of slowing it down unseen.

# The Qt modules among the targets that `targets` link publicly, directly or through others: the
# ones whose macros reach the compiler. A $<LINK_ONLY:…> entry carries no definitions.
function(tourwise_qt_test_modules out)
    set(pending ${ARGN})
    set(seen)
    set(modules)
    while(pending)
        list(POP_FRONT pending item)
        if(item IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${item})
        # Matched by name: a Qt module found in another folder is not a target here.
        if(item MATCHES "^Qt6::(Gui|Widgets|Network)$")
            list(APPEND modules ${CMAKE_MATCH_1})
        endif()
        if(NOT TARGET ${item})
            continue()
        endif()
        get_target_property(links ${item} INTERFACE_LINK_LIBRARIES)
        foreach(link IN LISTS links)
            if(link AND NOT link MATCHES "^\\$<")
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    list(REMOVE_DUPLICATES modules)
    list(SORT modules)
    set(${out} ${modules} PARENT_SCOPE)
endfunction()

# Gives the test program `target`, which links `libraries`, the precompiled <QtTest> of its Qt
# modules, made by the first test program that needs it.
function(tourwise_test_precompiled_headers target)
    tourwise_qt_test_modules(modules Qt6::Test ${ARGN})
    set(parts core ${modules})
    string(REPLACE ";" "_" suffix "${parts}")
    set(holder tourwise_test_pch_${suffix})
    if(NOT TARGET ${holder})
        set(source ${CMAKE_CURRENT_BINARY_DIR}/${holder}.cpp)
        file(CONFIGURE OUTPUT ${source} CONTENT "// The precompiled <QtTest> of ${suffix}.\n")
        set(qt_targets Qt6::Test)
        foreach(module IN LISTS modules)
            list(APPEND qt_targets Qt6::${module})
        endforeach()
        add_library(${holder} OBJECT ${source})
        target_link_libraries(${holder} PRIVATE ${qt_targets})
        target_precompile_headers(${holder} PRIVATE <QtTest>)
        set_target_properties(${holder} PROPERTIES AUTOMOC OFF)
    endif()
    target_precompile_headers(${target} REUSE_FROM ${holder})
endfunction()
