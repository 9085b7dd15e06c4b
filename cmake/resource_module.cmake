# resource_module(TARGET RC_FILE OUTPUT_NAME OUTPUT_DIR): a resource-only DLL, OUTPUT_NAME.dll in
# OUTPUT_DIR, built from RC_FILE with res/ on the include path.  It holds no code and has no
# entry point, so it is loaded only for its resources.
function(resource_module target rc_file output_name output_dir)
    add_library(${target} MODULE ${rc_file})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/res)
    set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/res/resource.h)
    set_target_properties(${target} PROPERTIES
        LINKER_LANGUAGE C
        PREFIX ""
        OUTPUT_NAME ${output_name}
        SUFFIX ".dll"
        LIBRARY_OUTPUT_DIRECTORY ${output_dir}$<0:>)
    if(MSVC)
        target_link_options(${target} PRIVATE /NOENTRY)
    else()
        target_link_options(${target} PRIVATE -nostdlib -Wl,--entry=0)
    endif()
endfunction()
