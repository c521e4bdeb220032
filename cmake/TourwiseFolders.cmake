# Every source folder is one layer with its own library. Sources include headers as
# "folder/file.h" from the source root.
function(tourwise_folder_headers target)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
