# Test harness: GoogleTest everywhere; Windows test executables run under Wine.

if(CMAKE_CROSSCOMPILING)
  # Debian ships GoogleTest's sources; build them with the cross compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Every Windows executable that ctest starts runs through Wine with this build
  # tree's own prefix; the fixture prepares Wine once and ends it after the run.
  set(LYRIMARK_WINE_DIR ${PROJECT_SOURCE_DIR}/tests/wine)
  # The harness picks Wine's loader by the tree's word size. Where a 32-bit tree
  # cannot run (see tests/wine/machine.sh), its tests exit with 77: skipped.
  math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
  file(WRITE ${CMAKE_BINARY_DIR}/wine/bits "${bits}\n")
  set(CMAKE_CROSSCOMPILING_EMULATOR sh;${LYRIMARK_WINE_DIR}/wine-run.sh;${CMAKE_BINARY_DIR})
  add_test(NAME ${LYRIMARK_BUILD_TAG}.wine-start COMMAND sh ${LYRIMARK_WINE_DIR}/wine-start.sh ${CMAKE_BINARY_DIR})
  add_test(NAME ${LYRIMARK_BUILD_TAG}.wine-stop COMMAND sh ${LYRIMARK_WINE_DIR}/wine-stop.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(${LYRIMARK_BUILD_TAG}.wine-start PROPERTIES FIXTURES_SETUP wine-${LYRIMARK_BUILD_TAG} TIMEOUT 300
                       SKIP_RETURN_CODE 77)
  set_tests_properties(${LYRIMARK_BUILD_TAG}.wine-stop PROPERTIES FIXTURES_CLEANUP wine-${LYRIMARK_BUILD_TAG} TIMEOUT 60)
endif()

# lyrimark_test(NAME <name> COMMAND <target or program> [args...] [TIMEOUT s] [LABELS ...]
#               [CODE_PAGES <code page>... CODE_PAGE_ARGS <args>...])
# Names carry the build tree's tag, so one ctest run can span every tree.
# CODE_PAGES adds the test once more under each of those ANSI code pages (950,
# 1252: see tests/wine/wine-env.sh) as <name>.cp<code page>, its command
# followed by CODE_PAGE_ARGS (which choose its cases). The names of all go to
# lyrimark_test_names in the caller's scope.
function(lyrimark_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND;LABELS;CODE_PAGES;CODE_PAGE_ARGS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(name ${LYRIMARK_BUILD_TAG}.${T_NAME})
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  set(names ${name})
  if(CMAKE_CROSSCOMPILING AND WIN32)
    foreach(code_page IN LISTS T_CODE_PAGES)
      add_test(NAME ${name}.cp${code_page} COMMAND ${T_COMMAND} ${T_CODE_PAGE_ARGS})
      set_tests_properties(${name}.cp${code_page} PROPERTIES ENVIRONMENT LYRIMARK_CODE_PAGE=${code_page})
      list(APPEND names ${name}.cp${code_page})
    endforeach()
  endif()
  set_tests_properties(${names} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${names} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(CMAKE_CROSSCOMPILING AND WIN32)
    # The tree's tests share one X display: real mouse input of one test would
    # land in the windows of another, so they take turns.
    set_tests_properties(${names} PROPERTIES FIXTURES_REQUIRED wine-${LYRIMARK_BUILD_TAG} SKIP_RETURN_CODE 77)
    set_property(TEST ${names} APPEND PROPERTY RESOURCE_LOCK display-${LYRIMARK_BUILD_TAG})
  endif()
  set(lyrimark_test_names ${names} PARENT_SCOPE)
endfunction()

# lyrimark_gtest(<target> sources... LIBS libs... [WITH_SITE] [CODE_PAGES ... CODE_PAGE_ARGS ...]):
# a GoogleTest executable and its test (CODE_PAGES as for lyrimark_test). WITH_SITE runs
# it while the local site serves on the default ports (one such test at a time).
function(lyrimark_gtest target)
  cmake_parse_arguments(G "WITH_SITE" "TIMEOUT" "LIBS;LABELS;CODE_PAGES;CODE_PAGE_ARGS" ${ARGN})
  add_executable(${target} ${G_UNPARSED_ARGUMENTS})
  lyrimark_target_defaults(${target})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${G_LIBS} GTest::gtest_main)
  if(G_WITH_SITE)
    set(command sh ${PROJECT_SOURCE_DIR}/tests/wine/with-site.sh ${CMAKE_BINARY_DIR}
                ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
  else()
    set(command ${target})
  endif()
  lyrimark_test(NAME ${target} COMMAND ${command} TIMEOUT ${G_TIMEOUT} LABELS ${G_LABELS}
                CODE_PAGES ${G_CODE_PAGES} CODE_PAGE_ARGS ${G_CODE_PAGE_ARGS})
  if(G_WITH_SITE)
    set_property(TEST ${lyrimark_test_names} APPEND PROPERTY RESOURCE_LOCK local-site)
  endif()
endfunction()
