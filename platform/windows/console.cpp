#include "platform/windows/windows_api.h"

#include "platform/console.h"

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace tessaldrin::platform {
namespace {

// Collects what the program writes and hands it on at every flush: to a
// console as UTF-16 (WriteConsoleW), read from the ANSI code page the texts
// are in, so that the console shows their characters whatever its own code
// page is and is left with that code page unchanged; to a file or a pipe as
// the bytes themselves, with the line ends of Windows text: a line feed that
// no carriage return precedes gets one.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(DWORD which) : handle_(GetStdHandle(which)) {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
                   GetConsoleMode(handle_, &mode) != 0;
        setp(buffer_, buffer_ + sizeof buffer_);
    }
    ~ConsoleBuffer() override { Flush(); }
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

protected:
    int_type overflow(int_type c) override {
        if (!Flush()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Flush() ? 0 : -1; }

private:
    bool Flush() {
        const auto count = static_cast<std::size_t>(pptr() - pbase());
        const bool written =
            count == 0 || (console_ ? WriteWide(pbase(), count) : WriteText(pbase(), count));
        setp(buffer_, buffer_ + sizeof buffer_);
        return written;
    }

    bool WriteText(const char* data, std::size_t count) {
        std::string text;
        text.reserve(count + count / 16);
        for (const char c : std::string_view(data, count)) {
            if (c == '\n' && previous_ != '\r') {
                text += '\r';
            }
            text += c;
            previous_ = c;
        }
        return WriteBytes(text.data(), text.size());
    }

    bool WriteBytes(const char* data, std::size_t count) {
        while (count > 0) {
            DWORD done = 0;
            if (!WriteFile(handle_, data, static_cast<DWORD>(count), &done, nullptr) || done == 0) {
                return false;
            }
            data += done;
            count -= done;
        }
        return true;
    }

    bool WriteWide(const char* data, std::size_t count) {
        const int length = static_cast<int>(count);
        const int wide = MultiByteToWideChar(CP_ACP, 0, data, length, nullptr, 0);
        if (wide <= 0) {
            return false;
        }
        std::wstring text(static_cast<std::size_t>(wide), L'\0');
        MultiByteToWideChar(CP_ACP, 0, data, length, text.data(), wide);
        const wchar_t* next = text.data();
        DWORD left = static_cast<DWORD>(text.size());
        while (left > 0) {
            DWORD done = 0;
            if (!WriteConsoleW(handle_, next, left, &done, nullptr) || done == 0) {
                return false;
            }
            next += done;
            left -= done;
        }
        return true;
    }

    HANDLE handle_;
    bool console_ = false;
    char previous_ = '\0'; // the last byte handed on, also of an earlier flush
    // Every character of Windows-1252 is one byte, so a full buffer handed on
    // never splits one.
    char buffer_[4096];
};

} // namespace

std::ostream& ConsoleOutput() {
    static ConsoleBuffer buffer(STD_OUTPUT_HANDLE);
    static std::ostream stream(&buffer);
    return stream;
}

std::ostream& ConsoleError() {
    static ConsoleBuffer buffer(STD_ERROR_HANDLE);
    static std::ostream stream(&buffer);
    stream.setf(std::ios::unitbuf);
    return stream;
}

bool ConsoleClosesWithProgram() {
    DWORD processes[2] = {};
    DWORD mode = 0;
    return GetConsoleProcessList(processes, 2) == 1 &&
           GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0 &&
           GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

void KeepRunningWhenOutputCloses() {
    // A write to a closed pipe fails with ERROR_NO_DATA; nothing ends the process.
}

bool IsSystemHelpSwitch(const std::string& argument) {
    return argument == "/?";
}

bool ErrorIsTerminal() {
    DWORD mode = 0;
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    return error != nullptr && error != INVALID_HANDLE_VALUE && GetConsoleMode(error, &mode) != 0;
}

} // namespace tessaldrin::platform
