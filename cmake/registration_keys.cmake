# The Explorer extension's registry values, read from the one table in shell/registration_keys.h.
#
# As a module: digestor_registration_rows(OUT DLL EXE) sets OUT to a list of rows ROOT|KEY|NAME|VALUE,
# ROOT being InClasses (KEY lies under Software\Classes) or InHive, with the table's words filled in:
# the two class ids from shell/shell_ids.h, DLL for [DLL] and EXE for [EXE]. cmake/msi.cmake makes the
# installer's RegistryValue elements from them.
#
# As a script, for the install test:
#   cmake -DHIVE=HKLM -DDLL=<path> -DEXE=<path> -DOUT=<file> -P registration_keys.cmake
# writes one line per value, FULLKEY|NAME|VALUE, FULLKEY in the form reg.exe takes (HKLM\Software\...).
set(DIGESTOR_SHELL_DIR ${CMAKE_CURRENT_LIST_DIR}/../shell)

# The text of a C++ string literal's inside: \\ and \" are the only escapes the table uses.
function(digestor_unescape out text)
    string(REPLACE "\\\\" "<backslash>" text "${text}")
    string(REPLACE "\\\"" "\"" text "${text}")
    string(REPLACE "<backslash>" "\\" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(digestor_registration_rows out dll exe)
    file(READ ${DIGESTOR_SHELL_DIR}/shell_ids.h ids)
    string(REGEX MATCH "#define DIGESTS_PAGE_CLSID_TEXT L\"([^\"]*)\"" _ "${ids}")
    set(page ${CMAKE_MATCH_1})
    string(REGEX MATCH "#define DIGESTOR_MENU_CLSID_TEXT L\"([^\"]*)\"" _ "${ids}")
    set(menu ${CMAKE_MATCH_1})
    if(NOT page OR NOT menu)
        message(FATAL_ERROR "registration_keys.cmake: no class ids in shell/shell_ids.h")
    endif()
    set(literal [=[L"(([^"\]|\\.)*)"]=])
    set(line "^ *{(InClasses|InHive), ${literal}, ${literal}, ${literal}},")
    file(STRINGS ${DIGESTOR_SHELL_DIR}/registration_keys.h lines REGEX "^ *{In")
    set(rows)
    foreach(entry IN LISTS lines)
        if(NOT entry MATCHES "${line}")
            message(FATAL_ERROR "registration_keys.cmake: cannot read the table line\n${entry}")
        endif()
        set(row ${CMAKE_MATCH_1})
        foreach(group 2 4 6)
            digestor_unescape(text "${CMAKE_MATCH_${group}}")
            string(REPLACE "{page}" "${page}" text "${text}")
            string(REPLACE "{menu}" "${menu}" text "${text}")
            string(REPLACE "[DLL]" "${dll}" text "${text}")
            string(REPLACE "[EXE]" "${exe}" text "${text}")
            string(APPEND row "|${text}")
        endforeach()
        list(APPEND rows "${row}")
    endforeach()
    list(LENGTH rows count)
    if(count EQUAL 0)
        message(FATAL_ERROR "registration_keys.cmake: no table in shell/registration_keys.h")
    endif()
    set(${out} "${rows}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    foreach(var HIVE DLL EXE OUT)
        if(NOT DEFINED ${var})
            message(FATAL_ERROR "registration_keys.cmake: -D${var}=... missing")
        endif()
    endforeach()
    digestor_registration_rows(rows "${DLL}" "${EXE}")
    set(text "")
    foreach(row IN LISTS rows)
        string(REGEX MATCH "^([^|]*)\\|([^|]*)\\|(.*)$" _ "${row}")
        if(CMAKE_MATCH_1 STREQUAL "InClasses")
            string(APPEND text "${HIVE}\\Software\\Classes\\${CMAKE_MATCH_2}|${CMAKE_MATCH_3}\n")
        else()
            string(APPEND text "${HIVE}\\${CMAKE_MATCH_2}|${CMAKE_MATCH_3}\n")
        endif()
    endforeach()
    file(WRITE ${OUT} "${text}")
endif()
