# What a release build refuses to be built with: addresses of this machine, and
# an update path that anyone on the user's network could take over.

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

# lyrimark_release_key_problem(<key> <unsigned> <announce url> <test key> <out>):
# sets <out> to why a release may not take updates this way, or to "" when it
# may. A release takes only updates signed with the maker's key, unless it is
# built to take unsigned ones on purpose, and then it must read the page that
# names them over https: else whoever sits on the user's network picks the
# program it starts. The repository's test key is no maker's key: its private
# half lies in the repository.
function(lyrimark_release_key_problem key unsigned announce test_key out)
  set(problem "")
  if(key STREQUAL "")
    if(NOT unsigned)
      string(CONCAT problem "LYRIMARK_UPDATE_PUBLIC_KEY is empty: a release takes only updates signed "
                    "with the maker's key. Make the key pair once (tools/sign_update/sign_update.py "
                    "key <private key file>) and set the environment variable "
                    "LYRIMARK_UPDATE_PUBLIC_KEY to the public key it prints; or, to build a release "
                    "that takes unsigned updates, set LYRIMARK_UNSIGNED_UPDATES=ON with an https:// "
                    "LYRIMARK_ANNOUNCE_URL")
    elseif(NOT announce MATCHES "^[Hh][Tt][Tt][Pp][Ss]://")
      string(CONCAT problem "LYRIMARK_UNSIGNED_UPDATES is ON, but LYRIMARK_ANNOUNCE_URL (${announce}) is "
                    "not an https:// address: anyone on the user's network could make such a "
                    "release download and start a program of their choice")
    endif()
  elseif(key STREQUAL test_key)
    string(CONCAT problem "LYRIMARK_UPDATE_PUBLIC_KEY is the repository's test key "
                  "(tools/site/update_key.pub), whose private key is in the repository: a release "
                  "needs the maker's own key")
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()
