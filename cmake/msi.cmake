# The Windows Installer package, built on Linux with msitools (run as a script by cmake/dist.cmake):
#   cmake -DVERSION=<project version> -DOUT=x.msi -DBIN=bin -DREADME=ReadMe.txt -DICON=digestor.ico
#         [-DCMD=ON] -P msi.cmake
# BIN holds Digestor.exe, VarnoLib64.dll, DigestorShell64.dll, lang/ and, with CMD, DigestorCmd.exe.
# wixl compiles res/digestor.wxs.in; it has no Environment element, so msibuild adds the table that
# puts the install folder at the end of the system PATH and takes it out again on uninstall.
foreach(var VERSION OUT BIN README ICON)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "msi.cmake: -D${var}=... missing")
    endif()
endforeach()
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
# Every language module built into BIN/lang; the first is the component's key path.
file(GLOB languages RELATIVE ${BIN}/lang ${BIN}/lang/[0-9]*.dll)
set(key_path " KeyPath=\"yes\"")
foreach(module IN LISTS languages)
    get_filename_component(language ${module} NAME_WE)
    string(APPEND LANGUAGE_FILES "<File Id=\"Language${language}\" Source=\"lang/${module}\"${key_path}/>\n")
    set(key_path "")
endforeach()
# wixl takes only paths relative to where it runs.
file(RELATIVE_PATH README ${BIN} ${README})
file(RELATIVE_PATH ICON ${BIN} ${ICON})
configure_file(${CMAKE_CURRENT_LIST_DIR}/../res/digestor.wxs.in ${OUT}.wxs @ONLY)

file(REMOVE ${OUT})
execute_process(COMMAND wixl --arch x64 --output ${OUT} ${OUT}.wxs WORKING_DIRECTORY ${BIN}
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND msibuild ${OUT}
    -q "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL, `Value` CHAR(255), `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
    # = set on install, - removed on uninstall, * system-wide; [~]; appends to the value there.
    -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('Path', '=-*Path', '[~];[INSTALLDIR]', 'Program')"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
    COMMAND_ERROR_IS_FATAL ANY)
