# The Windows Installer package, built on Linux with msitools (run as a script by cmake/dist.cmake):
#   cmake -DVERSION=<project version> -DOUT=x.msi -DBIN=folder -DREADME=ReadMe.txt -DICON=digestor.ico
#         -DEPOCH=<seconds> [-DCMD=ON] -P msi.cmake
# BIN holds Digestor.exe, VarnoLib64.dll, DigestorShell64.dll, lang/ and, with CMD, DigestorCmd.exe.
# wixl compiles res/digestor.wxs.in; it has no Environment element, so msibuild adds the table that
# puts the install folder at the end of the system PATH and takes it out again on uninstall.
# The same files and EPOCH give the same bytes: the product code follows from the version, the
# package code from the files, and the cabinet's and the summary's times are EPOCH (faketime, where
# it is installed, holds wixl's clock there).
foreach(var VERSION OUT BIN README ICON EPOCH)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "msi.cmake: -D${var}=... missing")
    endif()
endforeach()
# The one upgrade code of every Digestor package; each version has a product code of its own.
set(UPGRADE_CODE 4CF57CDA-970C-4AE5-87C8-541BE1BEC414)
set(MANUFACTURER VIDODi)
string(UUID PRODUCT_CODE NAMESPACE ${UPGRADE_CODE} NAME "Digestor ${VERSION}" TYPE SHA1 UPPER)
string(REGEX MATCH "^([0-9]+)\\.([0-9]+)\\.([0-9]+)" MSI_SERIES ${VERSION})
math(EXPR next "${CMAKE_MATCH_3} + 1")
set(MSI_NEXT_SERIES ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${next})
if(CMD)
    set(CMD_FILE "<File Id=\"DigestorCmd.exe\" Source=\"DigestorCmd.exe\"/>")
endif()
# The Explorer extension's registry values for all users, from its one table (shell/registration_keys.h):
# under HKLM\Software\Classes, and HKLM's approved extensions. The DLL file is the component's key path.
include(${CMAKE_CURRENT_LIST_DIR}/registration_keys.cmake)
digestor_registration_rows(rows "[#DigestorShell64.dll]" "[#Digestor.exe]")
foreach(row IN LISTS rows)
    string(REGEX MATCH "^([^|]*)\\|([^|]*)\\|([^|]*)\\|(.*)$" _ "${row}")
    set(key ${CMAKE_MATCH_2})
    if(CMAKE_MATCH_1 STREQUAL "InClasses")
        set(key "Software\\Classes\\${key}")
    endif()
    set(name "")
    if(NOT CMAKE_MATCH_3 STREQUAL "")
        set(name " Name=\"${CMAKE_MATCH_3}\"")
    endif()
    string(REPLACE "&" "&amp;" value "${CMAKE_MATCH_4}")
    string(REPLACE "\"" "&quot;" value "${value}")
    string(APPEND SHELL_REGISTRY
        "<RegistryValue Root=\"HKLM\" Key=\"${key}\"${name} Type=\"string\" Value=\"${value}\"/>\n")
endforeach()
# Every language module in BIN/lang, in the order of their names.
file(GLOB modules RELATIVE ${BIN} ${BIN}/lang/*.dll)
list(SORT modules)
foreach(module IN LISTS modules)
    get_filename_component(name ${module} NAME)
    string(APPEND LANG_FILES "<File Id=\"lang_${name}\" Source=\"${module}\"/>\n")
endforeach()
# wixl takes only paths relative to where it runs: a copy of BIN and the icon beside the package,
# the files dated EPOCH for the cabinet.
set(files ${OUT}.files)
file(REMOVE_RECURSE ${files})
file(COPY ${BIN}/ ${ICON} DESTINATION ${files})
file(GLOB_RECURSE payload ${files}/*)
execute_process(COMMAND touch -d @${EPOCH} ${payload} COMMAND_ERROR_IS_FATAL ANY)
file(RELATIVE_PATH README ${BIN} ${README})
get_filename_component(ICON ${ICON} NAME)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../res/digestor.wxs.in ${OUT}.wxs @ONLY)

# The package code names these very bytes: the source, the time and every file it packs.
file(SHA256 ${OUT}.wxs contents)
list(SORT payload)
foreach(file IN LISTS payload)
    file(SHA256 ${file} digest)
    string(APPEND contents " ${digest}")
endforeach()
string(UUID PACKAGE_CODE NAMESPACE ${PRODUCT_CODE} NAME "${EPOCH}${contents}" TYPE SHA1 UPPER)

find_program(FAKETIME faketime)
if(FAKETIME)
    set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
    string(TIMESTAMP release_time "%Y-%m-%d %H:%M:%S" UTC)
    set(clock ${FAKETIME} ${release_time})
else()
    message(STATUS "msi.cmake: no faketime: the package's summary carries the time of this build")
endif()
set(ENV{TZ} UTC)
file(REMOVE ${OUT})
execute_process(COMMAND ${clock} wixl --arch x64 --output ${OUT} ${OUT}.wxs WORKING_DIRECTORY ${files}
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND msibuild ${OUT}
    -q "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL, `Value` CHAR(255), `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
    # = set on install, - removed on uninstall, * system-wide; [~]; appends to the value there.
    -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('Path', '=-*Path', '[~];[INSTALLDIR]', 'Program')"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
    COMMAND_ERROR_IS_FATAL ANY)
# The package code, with the subject, author and template that wixl wrote (msibuild takes -s alone).
execute_process(COMMAND msibuild ${OUT} -s Digestor ${MANUFACTURER} "x64;1033" {${PACKAGE_CODE}}
    COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${files})
