# Cross-compiling for 64-bit Windows with mingw-w64 (Debian's
# g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64).
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tm_mingw x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex need it.
set(CMAKE_C_COMPILER ${tm_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tm_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tm_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tm_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs that need no DLL beside them: the C and C++ runtimes and the
# thread library linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
