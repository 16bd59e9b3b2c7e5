// The POSIX call that the shared header-page test helpers make to create
// their own temporary directory, which the Windows C runtime lacks.
#pragma once

extern "C" char* mkdtemp(char* pattern);
