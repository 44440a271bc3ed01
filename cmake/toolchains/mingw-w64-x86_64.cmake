set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(K726_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Unit tests of the Windows build run under Wine.
find_program(K726_WINE wine)
if(K726_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${K726_WINE})
endif()
