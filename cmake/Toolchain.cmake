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

# Header-only libraries from the system's include folder. For mingw, point at
# a directory that holds only a link to the library's headers, never at
# /usr/include as a whole (its C library headers are not mingw's).
# lyrimark_header_library(<target> <folder> <a header in it>)
function(lyrimark_header_library target folder header)
  find_path(LYRIMARK_${target}_ROOT ${folder}/${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
  set(include ${LYRIMARK_${target}_ROOT})
  if(CMAKE_CROSSCOMPILING AND LYRIMARK_${target}_ROOT)
    set(include ${CMAKE_BINARY_DIR}/${folder}-include)
    file(MAKE_DIRECTORY ${include})
    if(NOT EXISTS ${include}/${folder})
      file(CREATE_LINK ${LYRIMARK_${target}_ROOT}/${folder} ${include}/${folder} SYMBOLIC)
    endif()
  endif()
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${include})
endfunction()

# Boost.Regex: what the tests, fuzz targets and benchmarks compare the readers with.
lyrimark_header_library(boost_regex_headers boost regex.hpp)
target_compile_definitions(boost_regex_headers INTERFACE BOOST_REGEX_STANDALONE)
# nlohmann/json: the lyrics service's answers.
lyrimark_header_library(nlohmann_json_headers nlohmann json.hpp)

if(LYRIMARK_FUZZ)
  # Coverage for libFuzzer in everything the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
