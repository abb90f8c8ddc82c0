# Writes the three files of the winget manifest (version, installer, default locale) of one
# release from the templates in winget/. Run by tools/package:
#   cmake -DVERSION=... -DINSTALLER_URL=... -DINSTALLER_SHA256=... -DPRODUCT_CODE=...
#         -DUPGRADE_CODE=... -DSHORT_LINK_URL=... -DOUTPUT_DIR=... -P WingetManifest.cmake
foreach(name VERSION INSTALLER_URL INSTALLER_SHA256 PRODUCT_CODE UPGRADE_CODE SHORT_LINK_URL OUTPUT_DIR)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "WingetManifest.cmake: ${name} is not given")
  endif()
  # Values go between single quotes in YAML: one inside would end the text early.
  if("${${name}}" MATCHES "'")
    message(FATAL_ERROR "WingetManifest.cmake: ${name} contains a single quote: ${${name}}")
  endif()
endforeach()
string(LENGTH "${INSTALLER_SHA256}" sha256_length)
if(NOT INSTALLER_SHA256 MATCHES "^[0-9A-F]+$" OR NOT sha256_length EQUAL 64)
  message(FATAL_ERROR "WingetManifest.cmake: the SHA-256 must be 64 upper-case hexadecimal digits")
endif()

file(GLOB templates "${CMAKE_CURRENT_LIST_DIR}/winget/*.yaml.in")
file(REMOVE_RECURSE "${OUTPUT_DIR}")
foreach(template IN LISTS templates)
  get_filename_component(name "${template}" NAME)
  string(REGEX REPLACE "\\.in$" "" name "${name}")
  configure_file("${template}" "${OUTPUT_DIR}/${name}" @ONLY NEWLINE_STYLE LF)
endforeach()
