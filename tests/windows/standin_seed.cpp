// The stand-in client library as gds32.dll beside a program that cannot steer
// it: when the library is loaded, it takes the rows of its RDB$FILES from the
// file gds32.rows beside it, one row a line: sequence, tab, file name; when
// it is unloaded, it writes the rows as they are then to gds32.rows.after and
// its journal of calls, one a line, to gds32.journal.
#include "tests/filetable/standin_fbclient/standin_control.h"

#include <windows.h>

#include <fstream>
#include <string>

namespace {

std::string Beside(HINSTANCE library, const std::string& name) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(library, path, MAX_PATH);
    const std::string own(path, length);
    return own.substr(0, own.find_last_of("\\:") + 1) + name;
}

void SeedFromRowsFile(HINSTANCE library) {
    std::ifstream in(Beside(library, "gds32.rows"), std::ios::binary);
    std::vector<standin::Row> table;
    for (std::string line; std::getline(in, line);) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos) {
            table.push_back({line.substr(tab + 1), std::stoi(line.substr(0, tab)), 301, 300, 0, 0});
        }
    }
    standin::SetRows(table);
}

void WriteRowsAndJournal(HINSTANCE library) {
    std::ofstream out(Beside(library, "gds32.rows.after"), std::ios::binary | std::ios::trunc);
    for (const standin::Row& row : standin::Rows()) {
        out << row.sequence.value_or(-1) << '\t' << row.fileName.value_or("NULL") << '\n';
    }
    std::ofstream journal(Beside(library, "gds32.journal"), std::ios::binary | std::ios::trunc);
    for (const std::string& call : standin::Journal()) {
        journal << call << '\n';
    }
}

} // namespace

// Runs after the library's static objects are constructed.
extern "C" BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        SeedFromRowsFile(library);
    } else if (reason == DLL_PROCESS_DETACH) {
        WriteRowsAndJournal(library);
    }
    return TRUE;
}
