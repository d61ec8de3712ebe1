# A release build: the real addresses, and the same bytes from the same commit
# whatever folder it is built in.
include(${CMAKE_CURRENT_LIST_DIR}/ReleaseGuard.cmake)
foreach(variable LYRIMARK_HOME_URL LYRIMARK_FAN_URL LYRIMARK_ANNOUNCE_URL LYRIMARK_LYRICS_URL)
  lyrimark_require_release_address(${variable})
endforeach()
# The synced-lyrics service may be left out of a release, never on this machine.
if(NOT LYRIMARK_LRCLIB_URL STREQUAL "")
  lyrimark_require_release_address(LYRIMARK_LRCLIB_URL)
endif()
option(LYRIMARK_UNSIGNED_UPDATES "A release that takes unsigned updates (needs an https announcement address)" OFF)
file(STRINGS ${PROJECT_SOURCE_DIR}/tools/site/update_key.pub test_update_key LIMIT_COUNT 1)
lyrimark_release_key_problem("${LYRIMARK_UPDATE_PUBLIC_KEY}" "${LYRIMARK_UNSIGNED_UPDATES}"
                             "${LYRIMARK_ANNOUNCE_URL}" "${test_update_key}" problem)
if(NOT problem STREQUAL "")
  message(FATAL_ERROR "${problem}")
endif()

# No build folder in the binary (file names that assertions or debug
# information would carry), no link time stamp, no symbols. Releases are made
# with mingw-w64 (scripts/release.sh).
if(NOT MSVC)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
  add_link_options(-s -Wl,--no-insert-timestamp)
endif()
