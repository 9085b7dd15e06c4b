# Authenticode signatures (SHA-256) on executables, DLLs and Windows Installer packages, in place:
#   cmake -DFILES="a.exe;b.msi" -DCERT=cert.pfx [-DPASSWORD_FILE=file] [-DTIMESTAMP_URL=url]
#         -DEPOCH=seconds -DURL=url -P sign.cmake
# The password is read from its file by osslsigncode, so it never shows in a command line. Without a
# time stamp server the signing time is EPOCH (the release's), so that a signed release rebuilds to
# the same bytes with the same certificate; with one, the server's time stamp keeps the signature
# valid after the certificate expires.
foreach(var FILES CERT EPOCH URL)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "sign.cmake: -D${var}=... missing")
    endif()
endforeach()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "sign.cmake: osslsigncode not found (Debian package osslsigncode)")
endif()

set(options -pkcs12 ${CERT} -h sha256 -n Digestor -i ${URL})
if(PASSWORD_FILE)
    list(APPEND options -readpass ${PASSWORD_FILE})
endif()
if(TIMESTAMP_URL)
    list(APPEND options -ts ${TIMESTAMP_URL})
else()
    list(APPEND options -time ${EPOCH})
endif()
foreach(file IN LISTS FILES)
    file(REMOVE ${file}.signed)
    execute_process(COMMAND ${OSSLSIGNCODE} sign ${options} -in ${file} -out ${file}.signed
        OUTPUT_QUIET RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        file(REMOVE ${file}.signed)
        message(FATAL_ERROR "sign.cmake: osslsigncode could not sign ${file}")
    endif()
    file(RENAME ${file}.signed ${file})
endforeach()
