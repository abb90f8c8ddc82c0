# The update service and the maker's pages are reached over https:// only: over plain http
# anyone on the way could answer the update check and offer a download of their own.
# ZEPHYRIX_ALLOW_PLAIN_HTTP lets a local test build point them at a loopback server;
# tools/package refuses a build made with it.
#   zx_require_https(<variable>...)   a configure error for each one not starting with https://
function(zx_require_https)
  if(ZEPHYRIX_ALLOW_PLAIN_HTTP)
    return()
  endif()
  foreach(variable IN LISTS ARGN)
    string(FIND "${${variable}}" "https://" at)
    if(NOT at EQUAL 0)
      message(FATAL_ERROR "${variable} is \"${${variable}}\", which does not start with https://. "
                          "Only a local test build against a loopback server may use plain http: "
                          "configure it with -DZEPHYRIX_ALLOW_PLAIN_HTTP=ON (tools/package refuses such a build).")
    endif()
  endforeach()
endfunction()
