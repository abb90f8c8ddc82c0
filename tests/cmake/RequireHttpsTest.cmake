# zx_require_https against each case, in a child cmake of its own (a configure error ends
# the script that meets it): it must fail exactly for a plain address without the option,
# and name the variable at fault.
#   cmake -DZX_SOURCE_DIR=<source> -P RequireHttpsTest.cmake
if(DEFINED CASE_UPDATE)
  include(${ZX_SOURCE_DIR}/tools/cmake/WebAddresses.cmake)
  set(ZEPHYRIX_UPDATE_URL "${CASE_UPDATE}")
  set(ZEPHYRIX_SHORTLINK_URL "${CASE_SHORT}")
  set(ZEPHYRIX_ALLOW_PLAIN_HTTP ${CASE_ALLOW})
  zx_require_https(ZEPHYRIX_UPDATE_URL ZEPHYRIX_SHORTLINK_URL)
  return()
endif()

# <expected: ok, or the variable named in the error>|<update address>|<short-link address>|<option>
# ("-" stands for an empty address)
set(cases
  "ok|https://update.example/api.init.php|https://go.example|OFF"
  "ZEPHYRIX_UPDATE_URL|http://update.example/api.init.php|https://go.example|OFF"
  "ZEPHYRIX_SHORTLINK_URL|https://update.example/api.init.php|http://go.example|OFF"
  "ZEPHYRIX_UPDATE_URL|HTTPS://update.example/api.init.php|https://go.example|OFF"
  "ZEPHYRIX_UPDATE_URL| https://update.example/api.init.php|https://go.example|OFF"
  "ZEPHYRIX_UPDATE_URL|update.example/https://|https://go.example|OFF"
  "ZEPHYRIX_SHORTLINK_URL|https://update.example/api.init.php|-|OFF"
  "ok|http://127.0.0.1:47082/api.init.php|http://127.0.0.1:47081|ON"
)
set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 expected)
  list(GET parts 1 update)
  list(GET parts 2 short)
  list(GET parts 3 allow)
  if(short STREQUAL "-")
    set(short "")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -DZX_SOURCE_DIR=${ZX_SOURCE_DIR} "-DCASE_UPDATE=${update}"
                          "-DCASE_SHORT=${short}" -DCASE_ALLOW=${allow} -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  if(expected STREQUAL "ok")
    if(NOT result EQUAL 0)
      message(SEND_ERROR "refused: '${case}': ${error}")
      math(EXPR failures "${failures} + 1")
    endif()
  elseif(result EQUAL 0 OR NOT error MATCHES "${expected} is ")
    message(SEND_ERROR "not refused for ${expected}: '${case}': ${error}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
