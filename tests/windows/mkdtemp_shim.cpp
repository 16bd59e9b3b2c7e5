#include "tests/windows/mkdtemp_shim.h"

#include <cstring>
#include <direct.h>
#include <io.h>

extern "C" char* mkdtemp(char* pattern) {
    if (_mktemp_s(pattern, std::strlen(pattern) + 1) != 0 || _mkdir(pattern) != 0) {
        return nullptr;
    }
    return pattern;
}
