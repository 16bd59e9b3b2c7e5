// A second Windows process for the tests: opens a file for reading and
// writing, as a database server opens the files of an attached database, or
// with "read" for reading only, as a plain program does, and keeps it open
// until told to let go.
//
//   file_holder FILE READY-EVENT RELEASE-EVENT [read]
#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        return 2;
    }
    const DWORD access = argc == 5 && std::strcmp(argv[4], "read") == 0
                             ? GENERIC_READ
                             : GENERIC_READ | GENERIC_WRITE;
    const HANDLE file = CreateFileA(argv[1], access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    const HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (file == INVALID_HANDLE_VALUE || ready == nullptr || release == nullptr) {
        return 1;
    }
    SetEvent(ready);
    WaitForSingleObject(release, 120000);
    CloseHandle(file);
    return 0;
}
