option(MAREVANE_WERROR "Treat warnings as errors" OFF)
add_compile_options(-Wall -Wextra)
if(MAREVANE_WERROR)
  add_compile_options(-Werror)
endif()

option(MAREVANE_TSAN "Build with ThreadSanitizer" OFF)
if(MAREVANE_TSAN)
  add_compile_options(-fsanitize=thread -g)
  add_link_options(-fsanitize=thread)
endif()
option(MAREVANE_ASAN "Build with AddressSanitizer and UBSan" OFF)
if(MAREVANE_ASAN)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
# With the sanitizers' instrumentation GCC's flow analysis reports
# uninitialized reads inside the standard library's own headers (std::regex).
if(MAREVANE_ASAN OR MAREVANE_TSAN)
  add_compile_options(-Wno-maybe-uninitialized)
endif()

# Sanitizer builds run the tests several times slower; test time-outs, which
# only guard against hangs, grow with them.
set(MAREVANE_TIMEOUT_SCALE 1)
if(MAREVANE_ASAN OR MAREVANE_TSAN)
  set(MAREVANE_TIMEOUT_SCALE 4)
endif()

# Adds a static library from every source in the calling folder.
function(marevane_library name)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  add_library(${name} STATIC ${_srcs})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()

# Adds one GoogleTest executable from every test source in the calling folder.
# Test names come from the tests' own name generators (or the case's index),
# never from printed parameter values, which may hold addresses.
function(marevane_test name)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_executable(${name} ${_srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  math(EXPR _timeout "120 * ${MAREVANE_TIMEOUT_SCALE}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                       PROPERTIES TIMEOUT ${_timeout} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
