# Cross build for 64-bit Windows, for testing only: where this machine runs
# no 32-bit programs, 32-bit Wine cannot start, so the Windows tests and the
# demo run this build of the same code under wine64. The release is always
# the 32-bit build.
set(mingw_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
# Executables are based at 0x400000, as 32-bit ones are, so that a stand-in
# host's slot arena spans the slot address.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--image-base=0x400000")
# The wine wrapper tries the 32-bit loader first, so the 64-bit one is named.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
