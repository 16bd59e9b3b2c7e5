// A helper process for the tests: attaches to the console of another process
// once, as a process of its own each time, since a process that attached too
// early, before that console was made, cannot attach to it afterwards.
//
//   console_reader PID screen   writes what the console shows to standard
//                               output: each row up to the cursor's, without
//                               its trailing blanks, in the ANSI code page
//   console_reader PID enter    types Enter into the console
//
// Exits with 1 when there is no console to attach to (not yet, or no more).
#include <windows.h>

#include <string>

namespace {

std::string Screen(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(console, &info);
    std::string screen;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
        // Read as characters: the console keeps a code page of its own.
        std::wstring characters(static_cast<std::size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(console, characters.data(), info.dwSize.X, COORD{0, row},
                                    &read);
        std::string line(characters.size() * 2, ' ');
        line.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_ACP, 0, characters.data(), static_cast<int>(read), line.data(),
                                static_cast<int>(line.size()), nullptr, nullptr)));
        line.resize(line.find_last_not_of(' ') + 1);
        screen += line + "\n";
    }
    return screen;
}

bool TypeEnter(HANDLE console) {
    INPUT_RECORD keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        keys[i].EventType = KEY_EVENT;
        keys[i].Event.KeyEvent.bKeyDown = i == 0;
        keys[i].Event.KeyEvent.wRepeatCount = 1;
        keys[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
        keys[i].Event.KeyEvent.uChar.AsciiChar = '\r';
    }
    DWORD written = 0;
    return WriteConsoleInputA(console, keys, 2, &written) && written == 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const std::string what = argv[2];
    // Taken before attaching, which may put the console in its place.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    // Started by a process without a console, the system gave it one.
    FreeConsole();
    if (!AttachConsole(std::stoul(argv[1]))) {
        return 1;
    }
    const HANDLE console =
        CreateFileA(what == "screen" ? "CONOUT$" : "CONIN$", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        return 1;
    }
    if (what == "enter") {
        return TypeEnter(console) ? 0 : 1;
    }
    const std::string screen = Screen(console);
    DWORD written = 0;
    return WriteFile(out, screen.data(), static_cast<DWORD>(screen.size()), &written, nullptr) ? 0
                                                                                               : 1;
}
