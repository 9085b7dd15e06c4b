# What is published beside the packages in DIST, from their final (signed) bytes:
#   cmake -DVERSION=<project version> -DDIST=dist -DZIP=x.zip [-DMSI=x.msi] -DEPOCH=<seconds>
#         -DRELEASE_URL=<pattern> -DHOMEPAGE=<url> -DSOURCE=<source folder> -P publish.cmake
#   SHA256SUMS  the packages' digests as sha256sum writes them, for sha256sum -c and DigestorCmd -c
#   winget/     the winget manifests of the package: version, installer and default locale
#   scoop/      the Scoop manifest of the zip
# RELEASE_URL is where a release's files are downloaded from, {version} and {file} standing for the
# version and the file's name. The package's names and codes are read from the package itself.
foreach(var VERSION DIST ZIP EPOCH RELEASE_URL HOMEPAGE SOURCE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "publish.cmake: -D${var}=... missing")
    endif()
endforeach()
set(WINGET_SCHEMA 1.28.0)
set(SUMMARY "Digests files and folders with twelve algorithms and checks them against checksum lists.")
set(templates ${SOURCE}/res/manifests)
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP RELEASE_DATE "%Y-%m-%d" UTC)
file(STRINGS ${SOURCE}/res/digestor.rc COPYRIGHT REGEX "\"LegalCopyright\"")
string(REGEX REPLACE ".*\"LegalCopyright\", *\"([^\"]*)\".*" "\\1" COPYRIGHT "${COPYRIGHT}")
string(REPLACE "{version}" "${VERSION}" release_url "${RELEASE_URL}")

# package(PREFIX FILE): PREFIX_NAME, PREFIX_SHA256 and PREFIX_URL of a package; its line in SHA256SUMS.
set(sums "")
macro(package prefix file)
    get_filename_component(${prefix}_NAME ${file} NAME)
    file(SHA256 ${file} ${prefix}_SHA256)
    string(REPLACE "{file}" "${${prefix}_NAME}" ${prefix}_URL "${release_url}")
    string(APPEND sums "${${prefix}_SHA256}  ${${prefix}_NAME}\n")
endmacro()

if(MSI)
    package(MSI ${MSI})
    string(TOUPPER ${MSI_SHA256} MSI_SHA256)
    execute_process(COMMAND msiinfo export ${MSI} Property OUTPUT_VARIABLE properties COMMAND_ERROR_IS_FATAL ANY)
    foreach(property ProductCode UpgradeCode ProductName Manufacturer)
        string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" name ${property})
        string(TOUPPER ${name} name)
        string(REGEX MATCH "\n${property}\t([^\r\n]*)" _ "${properties}")
        set(${name} ${CMAKE_MATCH_1})
    endforeach()
    set(WINGET_ID ${MANUFACTURER}.${PRODUCT_NAME})
    file(REMOVE_RECURSE ${DIST}/winget)
    foreach(kind version installer locale.en-US)
        string(REPLACE ".version" "" file ${WINGET_ID}.${kind}.yaml)
        configure_file(${templates}/winget.${kind}.yaml.in ${DIST}/winget/${file} @ONLY)
    endforeach()
endif()
package(ZIP ${ZIP})
file(REMOVE_RECURSE ${DIST}/scoop)
configure_file(${templates}/scoop.json.in ${DIST}/scoop/digestor.json @ONLY)
file(WRITE ${DIST}/SHA256SUMS "${sums}")
