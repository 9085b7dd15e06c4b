# The release, in dist/: the zip a Windows user unpacks and starts, the Windows Installer package of
# the same files, and beside them SHA256SUMS and the winget and Scoop manifests (cmake/publish.cmake).
# The zip holds the program, its console companion, its companion library, the Explorer extension
# (registered by nobody until the user runs regsvr32 on it), every language module and a short
# ReadMe, at the paths the programs expect. One commit gives the same bytes wherever it is built
# (cmake/reproducible.cmake); with DIGESTOR_SIGN_CERT every executable, DLL and the package are signed.
set(DIGESTOR_RELEASE_URL "https://downloads.example.org/digestor/{version}/{file}" CACHE STRING
    "Where a release's files are downloaded from: {version} and {file} stand for the version and the file's name")
set(DIGESTOR_HOMEPAGE "https://downloads.example.org/digestor/" CACHE STRING "The program's home page")
set(DIGESTOR_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate and key (.pfx): sign the release")
set(DIGESTOR_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file whose first line is the certificate's password")
set(DIGESTOR_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time stamp server for the signatures")

set(DIGESTOR_DIST ${CMAKE_BINARY_DIR}/dist)
set(DIGESTOR_ZIP ${DIGESTOR_DIST}/Digestor-${PROJECT_VERSION}-win64.zip)
set(DIGESTOR_STAGE ${DIGESTOR_DIST}/stage)
set(DIGESTOR_README ${DIGESTOR_DIST}/ReadMe.txt)
configure_file(${PROJECT_SOURCE_DIR}/res/ReadMe.txt.in ${DIGESTOR_README} @ONLY)

# Every language module that lang/ builds, in the order of their names.
get_property(lang_targets DIRECTORY ${PROJECT_SOURCE_DIR}/lang PROPERTY BUILDSYSTEM_TARGETS)
list(FILTER lang_targets INCLUDE REGEX "^lang_[0-9]+$")
list(SORT lang_targets)
set(shipped_targets Digestor DigestorCmd VarnoLib64 DigestorShell64 ${lang_targets})
digestor_link_at_source_date(${shipped_targets})

# The shipped files as the zip and the package hold them, copied into the stage and signed there.
set(programs Digestor.exe DigestorCmd.exe VarnoLib64.dll DigestorShell64.dll)
set(modules)
set(module_files)
foreach(target IN LISTS lang_targets)
    string(REGEX REPLACE "^lang_" "" language ${target})
    list(APPEND modules lang/${language}.dll)
    list(APPEND module_files $<TARGET_FILE:${target}>)
endforeach()
set(shipped ${programs} ${modules} ReadMe.txt)
set(staged ${shipped})
list(TRANSFORM staged PREPEND ${DIGESTOR_STAGE}/)
set(executables ${programs} ${modules})
list(TRANSFORM executables PREPEND ${DIGESTOR_STAGE}/)

set(sign_args -DCERT=${DIGESTOR_SIGN_CERT} -DPASSWORD_FILE=${DIGESTOR_SIGN_PASSWORD_FILE}
    -DTIMESTAMP_URL=${DIGESTOR_SIGN_TIMESTAMP_URL} -DEPOCH=${DIGESTOR_SOURCE_DATE_EPOCH}
    -DURL=${DIGESTOR_HOMEPAGE} -P ${PROJECT_SOURCE_DIR}/cmake/sign.cmake)
set(sign_staged)
if(DIGESTOR_SIGN_CERT)
    list(JOIN executables "$<SEMICOLON>" files)
    set(sign_staged COMMAND ${CMAKE_COMMAND} -DFILES=${files} ${sign_args})
else()
    message(STATUS "Not signed: no code-signing certificate given (make dist SIGN_CERT=file.pfx SIGN_PASSWORD_FILE=file)")
endif()
add_custom_command(
    OUTPUT ${staged}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${DIGESTOR_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DIGESTOR_STAGE}/lang
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Digestor> $<TARGET_FILE:DigestorCmd> $<TARGET_FILE:VarnoLib64>
            $<TARGET_FILE:DigestorShell64> ${DIGESTOR_README} ${DIGESTOR_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${module_files} ${DIGESTOR_STAGE}/lang
    ${sign_staged}
    DEPENDS ${shipped_targets} ${DIGESTOR_README} ${PROJECT_SOURCE_DIR}/cmake/sign.cmake
    COMMENT "Staging the release's files"
    VERBATIM)

# Python's zipfile leaves out what cmake -E tar puts in every entry: the packing's access and change
# times, the owner and the permissions.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
    set(pack_zip ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/pack_zip.py ${DIGESTOR_ZIP}
        ${DIGESTOR_SOURCE_DATE_EPOCH} ${DIGESTOR_STAGE} ${shipped})
else()
    set(pack_zip ${CMAKE_COMMAND} -E chdir ${DIGESTOR_STAGE} ${CMAKE_COMMAND} -E tar cf ${DIGESTOR_ZIP} --format=zip ${shipped})
endif()
add_custom_command(
    OUTPUT ${DIGESTOR_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${DIGESTOR_ZIP}
    COMMAND ${pack_zip}
    DEPENDS ${staged} ${PROJECT_SOURCE_DIR}/cmake/pack_zip.py
    COMMENT "Packing ${DIGESTOR_ZIP}"
    VERBATIM)

# The Windows Installer package of the same files (cmake/msi.cmake), signed after msibuild's last
# change. Needs msitools' wixl and msibuild (Debian: wixl, msitools), so not on Windows.
find_program(DIGESTOR_WIXL wixl)
find_program(DIGESTOR_MSIBUILD msibuild)
if(DIGESTOR_WIXL AND DIGESTOR_MSIBUILD)
    set(DIGESTOR_MSI ${DIGESTOR_DIST}/Digestor-${PROJECT_VERSION}-win64.msi)
    # What cmake/msi.cmake needs besides VERSION and OUT; the tests build a newer package with it.
    set(DIGESTOR_MSI_ARGS -DBIN=${DIGESTOR_STAGE} -DREADME=${DIGESTOR_STAGE}/ReadMe.txt
        -DICON=${PROJECT_SOURCE_DIR}/res/digestor.ico -DEPOCH=${DIGESTOR_SOURCE_DATE_EPOCH} -DCMD=ON)
    set(msi_commands COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DOUT=${DIGESTOR_MSI}
        ${DIGESTOR_MSI_ARGS} -P ${PROJECT_SOURCE_DIR}/cmake/msi.cmake)
    if(DIGESTOR_SIGN_CERT)
        list(APPEND msi_commands COMMAND ${CMAKE_COMMAND} -DFILES=${DIGESTOR_MSI} ${sign_args})
    endif()
    add_custom_command(
        OUTPUT ${DIGESTOR_MSI}
        ${msi_commands}
        DEPENDS ${staged} ${PROJECT_SOURCE_DIR}/res/digestor.ico ${PROJECT_SOURCE_DIR}/res/digestor.wxs.in
            ${PROJECT_SOURCE_DIR}/cmake/msi.cmake ${PROJECT_SOURCE_DIR}/cmake/registration_keys.cmake
            ${PROJECT_SOURCE_DIR}/shell/registration_keys.h ${PROJECT_SOURCE_DIR}/shell/shell_ids.h
            ${PROJECT_SOURCE_DIR}/cmake/sign.cmake
        COMMENT "Building ${DIGESTOR_MSI}"
        VERBATIM)
else()
    message(STATUS "No wixl and msibuild (Debian packages wixl, msitools): no .msi")
endif()

# What is published beside the packages, written once they are final.
set(DIGESTOR_SUMS ${DIGESTOR_DIST}/SHA256SUMS)
file(GLOB manifest_templates ${PROJECT_SOURCE_DIR}/res/manifests/*.in)
add_custom_command(
    OUTPUT ${DIGESTOR_SUMS}
    COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DDIST=${DIGESTOR_DIST} -DZIP=${DIGESTOR_ZIP}
            -DMSI=${DIGESTOR_MSI} -DEPOCH=${DIGESTOR_SOURCE_DATE_EPOCH} -DRELEASE_URL=${DIGESTOR_RELEASE_URL}
            -DHOMEPAGE=${DIGESTOR_HOMEPAGE} -DSOURCE=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/publish.cmake
    DEPENDS ${DIGESTOR_ZIP} ${DIGESTOR_MSI} ${manifest_templates} ${PROJECT_SOURCE_DIR}/cmake/publish.cmake
    COMMENT "Writing SHA256SUMS and the winget and Scoop manifests"
    VERBATIM)
add_custom_target(dist ALL DEPENDS ${DIGESTOR_SUMS})
