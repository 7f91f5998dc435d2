# Unit-test support: GoogleTest from the Debian package natively, compiled from the Debian googletest
# sources for the mingw builds. `velmar_gtest(<name> SOURCES ... LIBS ...)` adds one test executable whose
# cases ctest discovers when it runs them (under Wine for the Windows builds).
include(GoogleTest)

if(BUILD_TESTING)
  if(WIN32)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)
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
function(velmar_script_test name script)
  if(NOT BUILD_TESTING)
    return()
  endif()
  add_test(NAME ${name} COMMAND bash ${script} ${ARGN})
  set_tests_properties(${name} PROPERTIES TIMEOUT 180 LABELS "script" RESOURCE_LOCK wine_desktop
    ENVIRONMENT "VELMAR_ARTEFACTS=${CMAKE_BINARY_DIR}/test-artefacts/${name}")
endfunction()
