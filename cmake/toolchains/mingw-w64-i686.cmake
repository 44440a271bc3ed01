set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(K726_MINGW_TRIPLE i686-w64-mingw32)
# Doubles in SSE2 registers round as on x86-64, so the 32-bit program writes
# the same bytes; long double stays x87 extended precision in both.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
