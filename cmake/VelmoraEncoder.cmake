# LAME's command-line front end, built from the unpacked Debian source as
# ${CMAKE_BINARY_DIR}/v3vid.exe (Windows trees only).
#   VELMORA_ENCODER_EXE  path of that file
#   encoder_tool         target that makes it; depend on it before using the file
include_guard(GLOBAL)

if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(_velmora_lame_host x86_64-w64-mingw32)
  else()
    set(_velmora_lame_host i686-w64-mingw32)
  endif()
  set(VELMORA_ENCODER_EXE "${CMAKE_BINARY_DIR}/v3vid.exe")
  add_custom_command(
    OUTPUT "${VELMORA_ENCODER_EXE}"
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/build-lame" ${_velmora_lame_host} "${VELMORA_ENCODER_EXE}"
    DEPENDS "${CMAKE_SOURCE_DIR}/scripts/build-lame"
    COMMENT "LAME command-line encoder for ${_velmora_lame_host} (v3vid.exe)"
    VERBATIM USES_TERMINAL)
  add_custom_target(encoder_tool ALL DEPENDS "${VELMORA_ENCODER_EXE}")
endif()
