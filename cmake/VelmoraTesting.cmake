# Test support shared by every folder; documented at the top of tests/CMakeLists.txt.
include_guard(GLOBAL)

set(VELMORA_WINE "")
set(VELMORA_RUNS_WINDOWS_TESTS OFF)
set(VELMORA_TESTS ON)

if(CMAKE_CROSSCOMPILING AND WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    # Only 64-bit Wine exists here (this kernel runs no 32-bit code), so the
    # 64-bit tree is the one whose tests run.
    set(VELMORA_RUNS_WINDOWS_TESTS ON)
    set(VELMORA_WINE_SESSION "${CMAKE_BINARY_DIR}/wine-session")
    set(VELMORA_WINE "${CMAKE_BINARY_DIR}/wine-run")
    file(WRITE "${VELMORA_WINE}"
      "#!/bin/sh\nexec \"${CMAKE_SOURCE_DIR}/tests/wine/wine-run\" \"${VELMORA_WINE_SESSION}\" \"$@\"\n")
    file(CHMOD "${VELMORA_WINE}" PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${VELMORA_WINE}")
  else()
    set(VELMORA_TESTS OFF)
  endif()
endif()

if(VELMORA_TESTS)
  if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(VELMORA_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources for cross builds")
    add_subdirectory("${VELMORA_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest_main)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

# The ctest fixture that brings up Xvfb and the Wine prefix for this tree and
# takes them down after the last test that needs them; added once, here in the
# top directory, and required by name from any other.
if(VELMORA_RUNS_WINDOWS_TESTS)
  set(_velmora_session "${CMAKE_SOURCE_DIR}/tests/wine/session")
  add_test(NAME velmora_wine_session_start COMMAND "${_velmora_session}" start "${VELMORA_WINE_SESSION}")
  add_test(NAME velmora_wine_session_stop COMMAND "${_velmora_session}" stop "${VELMORA_WINE_SESSION}")
  set_tests_properties(velmora_wine_session_start PROPERTIES
    FIXTURES_SETUP velmora_wine TIMEOUT 600 LABELS wine)
  set_tests_properties(velmora_wine_session_stop PROPERTIES
    FIXTURES_CLEANUP velmora_wine TIMEOUT 120 LABELS wine)
endif()

# velmora_add_wine_test(NAME <name> COMMAND <cmd...> [WORKING_DIRECTORY <dir>]
#                       [TIMEOUT <s>] [GUI])
function(velmora_add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "GUI" "NAME;WORKING_DIRECTORY;TIMEOUT" "COMMAND")
  if(NOT VELMORA_RUNS_WINDOWS_TESTS)
    return()
  endif()
  if(NOT arg_WORKING_DIRECTORY)
    set(arg_WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()
  add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND} WORKING_DIRECTORY "${arg_WORKING_DIRECTORY}")
  set_tests_properties(${arg_NAME} PROPERTIES
    FIXTURES_REQUIRED velmora_wine
    TIMEOUT ${arg_TIMEOUT}
    LABELS wine
    ENVIRONMENT "VELMORA_WINE=${VELMORA_WINE};VELMORA_WINE_SESSION=${VELMORA_WINE_SESSION}")
  if(arg_GUI)
    # Windows on one shared display would steal each other's focus.
    set_tests_properties(${arg_NAME} PROPERTIES RESOURCE_LOCK velmora_display)
  endif()
endfunction()

# velmora_add_gtest(<target> [GUI]): registers a GoogleTest executable.
# Natively every test case becomes a ctest test; a Windows executable runs
# whole, under Wine, as one ctest test named after the target.
function(velmora_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "GUI" "" "")
  if(CMAKE_CROSSCOMPILING)
    set(gui)
    if(arg_GUI)
      set(gui GUI)
    endif()
    velmora_add_wine_test(NAME ${target} COMMAND ${target} ${gui})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
