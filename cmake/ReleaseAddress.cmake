# lyrimark_loopback_host(<url> <out>): sets <out> to the host of <url> when it
# names this machine (localhost, 127.0.0.0/8 in any dotted form such as 127.1,
# ::1), to "(none)" when the address has no host, else to "".
# A release must never carry the local test site's addresses.
function(lyrimark_loopback_host url out)
  string(REGEX REPLACE "^[A-Za-z][A-Za-z0-9+.-]*://" "" rest "${url}")
  string(REGEX REPLACE "[/?#].*$" "" authority "${rest}")
  string(REGEX REPLACE "^.*@" "" hostport "${authority}")
  if(hostport MATCHES "^\\[([^]]*)\\]")
    set(host "${CMAKE_MATCH_1}")
  else()
    string(REGEX REPLACE ":[0-9]*$" "" host "${hostport}")
  endif()
  string(TOLOWER "${host}" host)
  string(REGEX REPLACE "\\.$" "" host "${host}")
  if(host STREQUAL "")
    set(${out} "(none)" PARENT_SCOPE)
  elseif(host MATCHES "^(.*\\.)?localhost$"
         OR host MATCHES "^127(\\.[0-9]+)*$"
         OR host MATCHES "^[0:]*:0*1$"
         OR host MATCHES "^[0:]*:ffff:127\\.")
    set(${out} "${host}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# lyrimark_require_release_address(<variable>): stops the configure step, naming
# the variable, when it is empty or names this machine.
function(lyrimark_require_release_address variable)
  set(url "${${variable}}")
  if(url STREQUAL "")
    message(FATAL_ERROR "${variable} is empty: a release build needs the real address "
                        "(set the environment variable ${variable}, or -D${variable}=...)")
  endif()
  lyrimark_loopback_host("${url}" host)
  if(host STREQUAL "(none)")
    message(FATAL_ERROR "${variable} (${url}) names no host: a release build needs the real address")
  elseif(host)
    message(FATAL_ERROR "${variable} (${url}) points at this machine (${host}): "
                        "a release build needs the real address")
  endif()
endfunction()
