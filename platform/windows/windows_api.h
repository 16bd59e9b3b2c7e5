// The Windows API for the Windows implementations. <windows.h> turns
// LoadString, MoveFile, FormatMessage and TextOut into macros for their A or
// W forms; those are the names of the program's own functions, so the macros
// go.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef FormatMessage
#undef LoadString
#undef MoveFile
#undef TextOut
