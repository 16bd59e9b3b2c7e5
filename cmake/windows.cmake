# What the Windows build adds to the common settings.

# Texts are 8-bit strings in the Windows ANSI code page: the program's own
# literals (usage text, warning, start-up message) are compiled into
# Windows-1252 bytes, as the string table's messages are.
add_compile_options(-fexec-charset=CP1252)
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601)
# GCC 12 at -O3 reports overlaps in the inlined string concatenation that do
# not exist (-Wrestrict); -O2 does not.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

# The Firebird client API's declarations, from the build machine's
# firebird-dev: the same header for every platform, and nothing else from the
# build machine's include directory.
find_file(TM_IBASE_H ibase.h PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(tm_firebird_include ${CMAKE_BINARY_DIR}/firebird-include)
configure_file(${TM_IBASE_H} ${tm_firebird_include}/ibase.h COPYONLY)
include_directories(SYSTEM ${tm_firebird_include})

# The tests run under Wine, in a prefix of its own under the build directory.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env TM_WINE_HOME=${CMAKE_BINARY_DIR}/wine ${CMAKE_SOURCE_DIR}/scripts/wine-run)
endif()
