# Unit-test support: GoogleTest from the Debian package natively, compiled from the Debian googletest
# sources for the mingw builds. `velmar_gtest(<name> SOURCES ... LIBS ...)` adds one test executable whose
# cases ctest discovers when it runs them (under Wine for the Windows builds).
include(GoogleTest)

# Code that only tests run (test cases, GoogleTest, the test programs under tests/) is compiled without
# optimisation and with line tables only: about half the compile time of -O2 -g, and the line tables
# still put file and line into a crash's backtrace. The code under test keeps the build's flags, so its
# objects are the release build's (ccache compiles them once). The native build is Debug already.
set(VELMAR_TEST_COMPILE_OPTIONS "")
if(WIN32)
  set(VELMAR_TEST_COMPILE_OPTIONS -O0 -g1)
endif()

if(BUILD_TESTING)
  if(WIN32)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)
    foreach(target gtest gtest_main gmock gmock_main)
      target_compile_options(${target} PRIVATE ${VELMAR_TEST_COMPILE_OPTIONS})
    endforeach()
    add_library(velmar_gtest_main INTERFACE)
    target_link_libraries(velmar_gtest_main INTERFACE gtest_main gmock)
  else()
    find_package(GTest REQUIRED)
    add_library(velmar_gtest_main INTERFACE)
    target_link_libraries(velmar_gtest_main INTERFACE GTest::gtest_main GTest::gmock)
  endif()
endif()

function(velmar_gtest name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VELMAR_TEST_COMPILE_OPTIONS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} velmar_gtest_main)
  set(labels unit ${ARG_LABELS})
  # PRE_TEST keeps Wine out of the build: the cases are listed when ctest runs.
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT 120 LABELS "${labels}")
endfunction()

# A test driven by a shell script (GUI and end-to-end tests under Wine + Xvfb). The script gets the
# remaining arguments; cmake/wine-session provides WINEPREFIX and DISPLAY.
#
# Tests run in parallel (ctest -j); a test that uses a named resource holds its ctest RESOURCE_LOCK, so
# tests sharing one take turns: `capture_a_instance` (velmar-capture-a: its single-instance mutex and
# its fixed side pipes), `capture_b_instance` (velmar-capture-b: its mutex), `wine_desktop` (windows
# on the session's one display: xdotool presses a key on the server for the focused window, so a key
# meant for one test's window can reach another's), `wine_installer` (Windows Installer in the build's
# prefix: one installation at a time, and the installed product). A script test holds both capture
# locks and the desktop unless it sets its own RESOURCE_LOCK (empty for a test that runs no capture
# application and shows no window) or its folder sets VELMAR_SCRIPT_TEST_LOCKS, so a script that does
# not say what it runs never meets a capture application it did not start. A test that holds a capture
# lock always holds the desktop too (added once its folder is read): capture applications show windows.
function(velmar_script_test name script)
  if(NOT BUILD_TESTING)
    return()
  endif()
  set(locks capture_a_instance capture_b_instance wine_desktop)
  if(DEFINED VELMAR_SCRIPT_TEST_LOCKS)
    set(locks "${VELMAR_SCRIPT_TEST_LOCKS}")
  endif()
  add_test(NAME ${name} COMMAND bash ${script} ${ARGN})
  set_tests_properties(${name} PROPERTIES TIMEOUT 180 LABELS "script" RESOURCE_LOCK "${locks}"
    ENVIRONMENT "VELMAR_ARTEFACTS=${CMAKE_BINARY_DIR}/test-artefacts/${name}")
  cmake_language(EVAL CODE "cmake_language(DEFER CALL velmar_desktop_with_capture_lock [[${name}]])")
endfunction()

# Adds wine_desktop to a test that holds a capture application's lock (see above).
function(velmar_desktop_with_capture_lock name)
  get_property(locks TEST ${name} PROPERTY RESOURCE_LOCK)
  if(("capture_a_instance" IN_LIST locks OR "capture_b_instance" IN_LIST locks) AND NOT "wine_desktop" IN_LIST locks)
    set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK wine_desktop)
  endif()
endfunction()
