# Project-wide compile settings, applied to our own targets only.
function(korvel_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                         -Wno-sign-conversion -Wno-missing-field-initializers -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 at -O2 warns of overlapping or oversized copies inside std::string's own
    # operator+ and append (its bugs 105329 and 105651, and the array bounds alike).
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-stringop-overflow -Wno-array-bounds)
  endif()
  if(KORVEL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                           -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(KORVEL_FUZZ)  # libFuzzer's coverage hooks everywhere; only fuzz/ links its driver
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                           -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(KORVEL_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
endfunction()

# One static library per source folder; every .cpp in the folder (and below) belongs to it,
# except the files named after EXCLUDE (relative to the folder), which another target builds.
function(korvel_library name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "EXCLUDE")
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  foreach(excluded IN LISTS arg_EXCLUDE)
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${excluded})
  endforeach()
  if(NOT srcs)  # a folder whose code has not been written yet still links
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${srcs} "")
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  korvel_target_settings(${name})
endfunction()

# One test executable per test folder.
function(korvel_test name dir)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # Tests compile without optimisation in every build (the code they test is the optimised
  # library), in batches, with GoogleTest parsed once per target.
  target_compile_options(${name} PRIVATE -O0)
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <string> <vector> <filesystem>)
  target_compile_definitions(${name} PRIVATE
    KORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVEL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  korvel_target_settings(${name})
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300 ENVIRONMENT "LANG=en_US.UTF-8;TZ=UTC")
endfunction()
