# The Windows Installer package, built on Linux with msitools (run as a script by cmake/dist.cmake):
#   cmake -DVERSION=<project version> -DOUT=x.msi -DBIN=bin -DREADME=ReadMe.txt -DICON=digestor.ico
#         [-DCMD=ON] -P msi.cmake
# BIN holds Digestor.exe, VarnoLib64.dll, lang/ and, with CMD, DigestorCmd.exe.
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
# The Explorer's "Check with Digestor" on these checksum lists, the first value the component's key path.
set(keyPath " KeyPath=\"yes\"")
foreach(ext md5 sha1 sha256 sha512 sfv)
    set(verb "Software\\Classes\\SystemFileAssociations\\.${ext}\\shell\\DigestorCheck")
    string(APPEND CHECK_VERBS
        "<RegistryValue Root=\"HKLM\" Key=\"${verb}\" Type=\"string\" Value=\"Check with Digestor\"${keyPath}/>\n"
        "<RegistryValue Root=\"HKLM\" Key=\"${verb}\\command\" Type=\"string\" "
        "Value=\"&quot;[INSTALLDIR]Digestor.exe&quot; /check &quot;%1&quot;\"/>\n")
    set(keyPath "")
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
