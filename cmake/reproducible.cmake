# Builds of one commit give the same bytes, wherever and whenever they run.
#   DIGESTOR_SOURCE_DATE_EPOCH  the time every shipped file carries: SOURCE_DATE_EPOCH from the
#                               environment, else the commit's time, else the time of configuring
#   digestor_link_at_source_date(TARGET...)  stamps the targets' PE headers with that time
# The source and build folders are mapped away in every object, so no path of the build machine
# reaches a file either.
if("$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    set(DIGESTOR_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} RESULT_VARIABLE status
            OUTPUT_VARIABLE DIGESTOR_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        # A new commit or checkout moves HEAD's log: configure again for its time.
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET)
        if(EXISTS "${git_dir}/logs/HEAD")
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${git_dir}/logs/HEAD")
        endif()
    endif()
    if(NOT DIGESTOR_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        string(TIMESTAMP DIGESTOR_SOURCE_DATE_EPOCH "%s" UTC)
        message(STATUS "No commit and no SOURCE_DATE_EPOCH: the release carries this configuration's time")
    endif()
endif()

if(NOT MSVC)
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
endif()

# GNU ld takes the PE header's and the export directory's time from SOURCE_DATE_EPOCH.
function(digestor_link_at_source_date)
    if(MSVC)
        return()
    endif()
    set(launcher ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${DIGESTOR_SOURCE_DATE_EPOCH})
    set_target_properties(${ARGN} PROPERTIES C_LINKER_LAUNCHER "${launcher}" CXX_LINKER_LAUNCHER "${launcher}")
endfunction()
