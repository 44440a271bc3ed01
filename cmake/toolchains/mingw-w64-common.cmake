# The posix thread model is needed by GoogleTest; both variants are installed
# by Debian's g++-mingw-w64 packages.
set(CMAKE_C_COMPILER ${K726_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${K726_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${K726_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${K726_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# A single .exe with no runtime DLL beside it. No build time in the PE header
# (it would also change the header's checksum), so the same commit links the
# same bytes wherever and whenever it is built; scripts/package --check holds
# the release build to that.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
# Unit tests of the Windows build run under Wine (wine32:i386 runs the i686 ones).
# The emulator is named, not found: it is looked up when a test runs, so that
# the `wine` of the Wine session (scripts/wine-session) is the one used.
find_program(K726_WINE wine)
if(K726_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
