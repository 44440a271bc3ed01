# One INTERFACE target carries the warning set, so every target of ours builds
# with the same flags and third-party code (GoogleTest) is left alone.
add_library(k726_warnings INTERFACE)
target_compile_options(k726_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow
  $<$<BOOL:${K726_WERROR}>:-Werror>)

# Sources stay UTF-8; every literal becomes the code page 932 bytes the host
# and Windows expect.
add_library(k726_charset INTERFACE)
target_compile_options(k726_charset INTERFACE -finput-charset=UTF-8 -fexec-charset=CP932)

# Collects the .cpp files of one folder; new files are picked up at build time.
function(k726_sources out_var)
  file(GLOB _files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(${out_var} ${_files} PARENT_SCOPE)
endfunction()
