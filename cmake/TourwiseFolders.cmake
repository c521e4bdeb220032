# Every source folder is one layer with its own library, and sources include headers as
# "folder/file.h". A library shows its folder's headers to itself and to the targets that link it,
# and no others: each folder gets an include directory of its own in the build tree that holds
# only a link to that folder. So an include that is not along a link does not compile.
function(tourwise_folder_headers target)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(include_dir ${PROJECT_BINARY_DIR}/folder_headers/${folder})
    file(MAKE_DIRECTORY ${include_dir})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${include_dir}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${include_dir})
endfunction()
