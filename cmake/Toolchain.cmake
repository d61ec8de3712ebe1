# Compiler settings shared by every target of the project.

# Program text is GBK: string literals are written in UTF-8 sources and become
# GBK bytes at compile time (GB18030 gives GBK's bytes for every character we
# use, and unlike GBK it lets libstdc++'s <chrono> compile). Clang cannot do this;
# the fuzz build sees UTF-8 constants, which is fine there.
if(MSVC)
  set(LYRIMARK_TEXT_FLAGS /source-charset:utf-8 /execution-charset:.936)
  set(LYRIMARK_WARNINGS /W4 /WX /permissive-)
elseif(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(LYRIMARK_TEXT_FLAGS -finput-charset=UTF-8 -fexec-charset=GB18030)
  set(LYRIMARK_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)
else()
  set(LYRIMARK_TEXT_FLAGS)
  set(LYRIMARK_WARNINGS -Wall -Wextra -Wshadow -Werror)
endif()

# Our own targets: high warnings as errors and the GBK literals.
function(lyrimark_target_defaults target)
  target_compile_options(${target} PRIVATE ${LYRIMARK_WARNINGS} ${LYRIMARK_TEXT_FLAGS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
endfunction()

if(LYRIMARK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32 AND NOT MSVC)
  # One portable .exe that needs only system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
elseif(MSVC)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 _CRT_SECURE_NO_WARNINGS)
endif()

# Boost.Regex, header-only. For mingw, point at a directory that holds only a
# link to the Boost headers, never at /usr/include as a whole.
find_path(LYRIMARK_BOOST_ROOT boost/regex.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(CMAKE_CROSSCOMPILING AND LYRIMARK_BOOST_ROOT)
  set(LYRIMARK_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
  file(MAKE_DIRECTORY ${LYRIMARK_BOOST_INCLUDE})
  if(NOT EXISTS ${LYRIMARK_BOOST_INCLUDE}/boost)
    file(CREATE_LINK ${LYRIMARK_BOOST_ROOT}/boost ${LYRIMARK_BOOST_INCLUDE}/boost SYMBOLIC)
  endif()
else()
  set(LYRIMARK_BOOST_INCLUDE ${LYRIMARK_BOOST_ROOT})
endif()
add_library(boost_regex_headers INTERFACE)
target_include_directories(boost_regex_headers SYSTEM INTERFACE ${LYRIMARK_BOOST_INCLUDE})
target_compile_definitions(boost_regex_headers INTERFACE BOOST_REGEX_STANDALONE)

if(LYRIMARK_FUZZ)
  # Coverage for libFuzzer in everything the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
