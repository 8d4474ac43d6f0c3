# What every screen test program shares: the screen test kit linked in, a
# main that runs offscreen with OpenGL off at 1/20 of the screens' timing,
# and the programs' renders kept under the build folder (renders/screens).
#
#   marevane_screen_tests(<name> LIBS <libraries...>)
#     <name> (ending in _tests) is built from the *.cpp files of the calling
#     folder and runs offscreen. The *.cpp files of its xvfb/ subfolder, when
#     there are any, make <name without _tests>_xvfb_tests: it runs on the
#     display xvfb-run gives it, with OpenGL on, under the ctest label xvfb.
include_guard(GLOBAL)

set(MAREVANE_SCREEN_KIT_DIR "${CMAKE_CURRENT_LIST_DIR}")

function(marevane_screen_tests name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  math(EXPR _timeout "120 * ${MAREVANE_TIMEOUT_SCALE}")
  set(_main "${MAREVANE_SCREEN_KIT_DIR}/main/ScreenTestMain.cpp")

  file(GLOB _srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_executable(${name} ${_srcs} "${_main}")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} marevane_screen_kit GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                       PROPERTIES TIMEOUT ${_timeout} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

  file(GLOB _xvfb_srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/xvfb/*.cpp")
  if(_xvfb_srcs)
    string(REGEX REPLACE "_tests$" "" _base "${name}")
    set(_xvfb "${_base}_xvfb_tests")
    add_executable(${_xvfb} ${_xvfb_srcs} "${_main}" "${PROJECT_SOURCE_DIR}/tests/KeepModulesLoaded.cpp")
    target_link_libraries(${_xvfb} PRIVATE ${ARG_LIBS} marevane_screen_kit GTest::gtest GTest::gmock)
    target_compile_definitions(${_xvfb} PRIVATE MAREVANE_SCREEN_OPENGL=1)
    gtest_discover_tests(
      ${_xvfb} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
      PROPERTIES TIMEOUT ${_timeout} LABELS xvfb
                 ENVIRONMENT "LIBGL_ALWAYS_SOFTWARE=1;MESA_SHADER_CACHE_DISABLE=true;QT_XCB_GL_INTEGRATION=xcb_glx")
  endif()
endfunction()
