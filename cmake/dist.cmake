# The release zip: what a Windows user unpacks and starts.  It holds the program, its console
# companion, its companion library, the Explorer extension (registered by nobody until the user runs
# regsvr32 on it), every language module and a short ReadMe, at the paths the programs expect.
set(DIGESTOR_ZIP ${CMAKE_BINARY_DIR}/dist/Digestor-${PROJECT_VERSION}-win64.zip)
set(DIGESTOR_README ${CMAKE_BINARY_DIR}/dist/ReadMe.txt)
configure_file(${PROJECT_SOURCE_DIR}/res/ReadMe.txt.in ${DIGESTOR_README} @ONLY)
set(DIGESTOR_STAGE ${CMAKE_BINARY_DIR}/dist/stage)
set(language_files)
set(language_sources)
foreach(target ${DIGESTOR_LANGUAGE_TARGETS})
    list(APPEND language_files $<TARGET_FILE:${target}>)
    list(APPEND language_sources lang/$<TARGET_FILE_NAME:${target}>)
endforeach()

add_custom_command(
    OUTPUT ${DIGESTOR_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${DIGESTOR_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DIGESTOR_STAGE}/lang
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Digestor> $<TARGET_FILE:DigestorCmd> $<TARGET_FILE:VarnoLib64>
            $<TARGET_FILE:DigestorShell64> ${DIGESTOR_README} ${DIGESTOR_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${language_files} ${DIGESTOR_STAGE}/lang
    COMMAND ${CMAKE_COMMAND} -E rm -f ${DIGESTOR_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${DIGESTOR_STAGE}
            ${CMAKE_COMMAND} -E tar cf ${DIGESTOR_ZIP} --format=zip
            Digestor.exe DigestorCmd.exe VarnoLib64.dll DigestorShell64.dll ${language_sources} ReadMe.txt
    DEPENDS Digestor DigestorCmd VarnoLib64 DigestorShell64 ${DIGESTOR_LANGUAGE_TARGETS} ${DIGESTOR_README}
    COMMENT "Packing ${DIGESTOR_ZIP}"
    VERBATIM)

# The Windows Installer package of the same files (cmake/msi.cmake), with DigestorCmd.exe where the
# tree builds it.  Needs msitools' wixl and msibuild (Debian: wixl, msitools), so not on Windows.
find_program(DIGESTOR_WIXL wixl)
find_program(DIGESTOR_MSIBUILD msibuild)
if(DIGESTOR_WIXL AND DIGESTOR_MSIBUILD)
    set(DIGESTOR_MSI ${CMAKE_BINARY_DIR}/dist/Digestor-${PROJECT_VERSION}-win64.msi)
    # What cmake/msi.cmake needs besides VERSION and OUT; the tests build a newer package with it.
    set(DIGESTOR_MSI_ARGS -DBIN=$<TARGET_FILE_DIR:Digestor> -DREADME=${DIGESTOR_README}
        -DICON=${PROJECT_SOURCE_DIR}/res/digestor.ico)
    set(msi_inputs Digestor VarnoLib64 DigestorShell64 ${DIGESTOR_LANGUAGE_TARGETS} ${DIGESTOR_README}
        ${PROJECT_SOURCE_DIR}/res/digestor.ico ${PROJECT_SOURCE_DIR}/res/digestor.wxs.in
        ${PROJECT_SOURCE_DIR}/cmake/msi.cmake ${PROJECT_SOURCE_DIR}/cmake/registration_keys.cmake
        ${PROJECT_SOURCE_DIR}/shell/registration_keys.h ${PROJECT_SOURCE_DIR}/shell/shell_ids.h)
    if(TARGET DigestorCmd)
        list(APPEND DIGESTOR_MSI_ARGS -DCMD=ON)
        list(APPEND msi_inputs DigestorCmd)
    endif()
    add_custom_command(
        OUTPUT ${DIGESTOR_MSI}
        COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DOUT=${DIGESTOR_MSI} ${DIGESTOR_MSI_ARGS}
                -P ${PROJECT_SOURCE_DIR}/cmake/msi.cmake
        DEPENDS ${msi_inputs}
        COMMENT "Building ${DIGESTOR_MSI}"
        VERBATIM)
else()
    message(STATUS "No wixl and msibuild (Debian packages wixl, msitools): no .msi")
endif()
add_custom_target(dist ALL DEPENDS ${DIGESTOR_ZIP} ${DIGESTOR_MSI})
