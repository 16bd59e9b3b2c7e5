// A second Windows process for the tests: opens a file for reading and
// writing, as a database server opens the files of an attached database, and
// keeps it open until told to let go.
//
//   file_holder FILE READY-EVENT RELEASE-EVENT
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const HANDLE file =
        CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
