#include "toolkit/windows/gdi_printer.h"

#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <memory>

namespace tessaldrin::toolkit {
namespace {

// Local and connected printers: the print system of Windows NT.
constexpr DWORD kPrinterKinds = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
// The part of a DEVMODEA that the printer object reads and writes.
constexpr std::size_t kSettingsBytes = offsetof(DEVMODEA, dmDefaultSource);

// The printers at information level 4: the first call asks for the size.
std::vector<BYTE> EnumeratePrinters(DWORD& count) {
    DWORD needed = 0;
    count = 0;
    EnumPrintersA(kPrinterKinds, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(kPrinterKinds, nullptr, 4, buffer.data(), needed, &needed, &count)) {
        count = 0;
    }
    return buffer;
}

std::string DefaultPrinterName() {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    std::string name(size, '\0');
    if (size == 0 || !GetDefaultPrinterA(name.data(), &size)) {
        return {};
    }
    name.resize(name.find('\0'));
    return name;
}

struct PrinterCloser {
    void operator()(HANDLE printer) const { ClosePrinter(printer); }
};

// The printer's own default settings; none when it cannot be opened.
std::vector<BYTE> PrinterDefaults(const std::string& name) {
    HANDLE opened = nullptr;
    if (name.empty() || !OpenPrinterA(const_cast<char*>(name.c_str()), &opened, nullptr)) {
        return {};
    }
    const std::unique_ptr<void, PrinterCloser> printer(opened);
    char* device = const_cast<char*>(name.c_str());
    const LONG size = DocumentPropertiesA(nullptr, opened, device, nullptr, nullptr, 0);
    if (size < static_cast<LONG>(kSettingsBytes)) {
        return {};
    }
    std::vector<BYTE> settings(static_cast<std::size_t>(size));
    auto* mode = reinterpret_cast<DEVMODEA*>(settings.data());
    if (DocumentPropertiesA(nullptr, opened, device, mode, nullptr, DM_OUT_BUFFER) != IDOK) {
        return {};
    }
    return settings;
}

int CALLBACK AddFontName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM names) {
    auto& list = *reinterpret_cast<std::vector<std::string>*>(names);
    const std::string name = font->lfFaceName;
    if (std::find(list.begin(), list.end(), name) == list.end()) {
        list.push_back(name);
    }
    return 1;
}

} // namespace

int InstalledPrinterCount() {
    try {
        DWORD count = 0;
        EnumeratePrinters(count);
        return static_cast<std::uint16_t>(count);
    } catch (...) {
        return 0;
    }
}

TGdiPrinter::TGdiPrinter() {
    SetDevice(DefaultPrinterName(), {});
}

TGdiPrinter::~TGdiPrinter() {
    if (printing_) {
        AbortDoc(device_.Dc());
    }
}

const std::vector<std::string>& TGdiPrinter::Printers() {
    if (!printersRead_) {
        DWORD count = 0;
        const std::vector<BYTE> buffer = EnumeratePrinters(count);
        const auto* entries = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
        printers_.clear();
        for (DWORD i = 0; i < count; ++i) {
            printers_.emplace_back(entries[i].pPrinterName);
        }
        printersRead_ = true;
    }
    return printers_;
}

const std::vector<std::string>& TGdiPrinter::Fonts() {
    if (fonts_.empty() && device_.Dc() != nullptr) {
        LOGFONTA every{};
        every.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(device_.Dc(), &every, AddFontName, reinterpret_cast<LPARAM>(&fonts_),
                            0);
    }
    return fonts_;
}

int TGdiPrinter::PrinterIndex() {
    const std::vector<std::string>& printers = Printers();
    const auto found = std::find(printers.begin(), printers.end(), deviceName_);
    return deviceName_.empty() || found == printers.end()
               ? -1
               : static_cast<int>(found - printers.begin());
}

void TGdiPrinter::SetPrinterIndex(int index) {
    RequireIdle();
    if (index == -1) {
        printersRead_ = false;
        SetDevice(DefaultPrinterName(), {});
        return;
    }
    RequirePrinterIndex(index);
    SetDevice(Printers()[static_cast<std::size_t>(index)], {});
}

TPrinterOrientation TGdiPrinter::Orientation() const {
    const DEVMODEA* settings = Settings();
    return settings != nullptr && settings->dmOrientation == DMORIENT_LANDSCAPE
               ? TPrinterOrientation::poLandscape
               : TPrinterOrientation::poPortrait;
}

void TGdiPrinter::SetOrientation(TPrinterOrientation orientation) {
    RequireIdle();
    if (DEVMODEA* settings = Settings()) {
        settings->dmOrientation = orientation == TPrinterOrientation::poLandscape
                                      ? DMORIENT_LANDSCAPE
                                      : DMORIENT_PORTRAIT;
        settings->dmFields |= DM_ORIENTATION;
        ApplySettings();
    }
}

int TGdiPrinter::Copies() const {
    const DEVMODEA* settings = Settings();
    return settings != nullptr && (settings->dmFields & DM_COPIES) != 0
               ? std::max<int>(1, settings->dmCopies)
               : 1;
}

void TGdiPrinter::SetCopies(int copies) {
    RequireIdle();
    if (DEVMODEA* settings = Settings()) {
        settings->dmCopies = static_cast<short>(std::clamp(copies, 1, 0x7FFF));
        settings->dmFields |= DM_COPIES;
        ApplySettings();
    }
}

TPrinterCapabilities TGdiPrinter::Capabilities() const {
    if (deviceName_.empty()) {
        return 0;
    }
    const auto ask = [this](WORD what) {
        return DeviceCapabilitiesA(deviceName_.c_str(), nullptr, what, nullptr, nullptr);
    };
    TPrinterCapabilities capabilities = 0;
    if (ask(DC_COPIES) > 1) {
        capabilities |= pcCopies;
    }
    if (ask(DC_ORIENTATION) > 0) {
        capabilities |= pcOrientation;
    }
    if (ask(DC_COLLATE) == 1) {
        capabilities |= pcCollation;
    }
    return capabilities;
}

void TGdiPrinter::BeginDoc() {
    RequireIdle();
    const HDC dc = device_.Dc();
    if (dc == nullptr) {
        throw EPrinter("Der Druckauftrag kann nicht angelegt werden");
    }
    // Every document starts in device dots from the printable area's corner.
    ::SetMapMode(dc, MM_TEXT);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::SetViewportOrgEx(dc, 0, 0, nullptr);
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = title_.c_str();
    if (StartDocA(dc, &document) <= 0) {
        throw EPrinter("Der Druckauftrag kann nicht angelegt werden");
    }
    if (StartPage(dc) <= 0) {
        AbortDoc(dc);
        throw EPrinter("Der Druckauftrag kann nicht angelegt werden");
    }
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
}

void TGdiPrinter::NewPage() {
    RequirePrinting();
    ::EndPage(device_.Dc());
    ::StartPage(device_.Dc());
    ++pageNumber_;
}

void TGdiPrinter::EndDoc() {
    RequirePrinting();
    const HDC dc = device_.Dc();
    const bool ended = ::EndPage(dc) > 0 && ::EndDoc(dc) > 0;
    printing_ = false;
    aborted_ = false;
    if (!ended) {
        AbortDoc(dc);
        throw EPrinter("Die Druckwarteschlange hat den Druckauftrag nicht angenommen");
    }
}

void TGdiPrinter::Abort() {
    RequirePrinting();
    AbortDoc(device_.Dc());
    printing_ = false;
    aborted_ = true;
}

void TGdiPrinter::SetDevice(const std::string& name, std::vector<BYTE> devMode) {
    RequireIdle();
    deviceName_ = name;
    devMode_ = devMode.empty() ? PrinterDefaults(name) : std::move(devMode);
    fonts_.clear();
    ApplySettings();
}

DEVMODEA* TGdiPrinter::Settings() {
    return devMode_.size() < kSettingsBytes ? nullptr
                                            : reinterpret_cast<DEVMODEA*>(devMode_.data());
}

const DEVMODEA* TGdiPrinter::Settings() const {
    return devMode_.size() < kSettingsBytes ? nullptr
                                            : reinterpret_cast<const DEVMODEA*>(devMode_.data());
}

void TGdiPrinter::ApplySettings() {
    device_.Reset(deviceName_.empty()
                      ? nullptr
                      : CreateDCA("WINSPOOL", deviceName_.c_str(), nullptr, Settings()));
}

TGdiPrinter& GdiPrinter() {
    static TGdiPrinter printer;
    return printer;
}

TPrinter& Printer() {
    return GdiPrinter();
}

} // namespace tessaldrin::toolkit
