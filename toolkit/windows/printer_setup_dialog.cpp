#include "toolkit/windows/printer_setup_dialog.h"
#include "toolkit/windows/gdi_printer.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

namespace tessaldrin::toolkit {
namespace {

// A movable global memory block, as the common dialogs take and give them;
// freed with its holder, whichever of the two allocated it.
class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL& handle) : handle_(handle) {}
    ~GlobalBlock() {
        if (handle_ != nullptr) {
            GlobalFree(handle_);
        }
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    // A copy of the block's bytes.
    std::vector<BYTE> Bytes() const {
        std::vector<BYTE> bytes(GlobalSize(handle_));
        if (const void* data = GlobalLock(handle_)) {
            std::memcpy(bytes.data(), data, bytes.size());
            GlobalUnlock(handle_);
        }
        return bytes;
    }

private:
    HGLOBAL& handle_;
};

HGLOBAL BlockOf(const void* data, std::size_t size) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (void* target = block != nullptr ? GlobalLock(block) : nullptr) {
        std::memcpy(target, data, size);
        GlobalUnlock(block);
    }
    return block;
}

// The device names of `printer`: the layout that DEVNAMES describes, with
// only the device (the printer) named.
HGLOBAL DeviceNamesOf(const std::string& printer) {
    std::vector<BYTE> names(sizeof(DEVNAMES) + printer.size() + 2);
    auto* header = reinterpret_cast<DEVNAMES*>(names.data());
    header->wDeviceOffset = sizeof(DEVNAMES);
    header->wDriverOffset = static_cast<WORD>(sizeof(DEVNAMES) + printer.size() + 1);
    header->wOutputOffset = header->wDriverOffset;
    std::memcpy(names.data() + sizeof(DEVNAMES), printer.c_str(), printer.size() + 1);
    return BlockOf(names.data(), names.size());
}

} // namespace

bool TPrinterSetupDialog::Execute(HWND owner) {
    TGdiPrinter& printer = GdiPrinter();
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_PRINTSETUP;
    // The dialog starts from the printer object's printer and settings.
    if (!printer.DevMode().empty()) {
        dialog.hDevMode = BlockOf(printer.DevMode().data(), printer.DevMode().size());
    }
    if (!printer.DeviceName().empty()) {
        dialog.hDevNames = DeviceNamesOf(printer.DeviceName());
    }
    const GlobalBlock settings(dialog.hDevMode);
    const GlobalBlock names(dialog.hDevNames);
    if (!PrintDlgA(&dialog)) {
        return false;
    }
    const std::vector<BYTE> chosen = names.Bytes();
    const auto* header = reinterpret_cast<const DEVNAMES*>(chosen.data());
    if (chosen.size() <= sizeof(DEVNAMES) || header->wDeviceOffset >= chosen.size()) {
        return false;
    }
    const auto* device = reinterpret_cast<const char*>(chosen.data()) + header->wDeviceOffset;
    printer.SetDevice(std::string(device, strnlen(device, chosen.size() - header->wDeviceOffset)),
                      settings.Bytes());
    return true;
}

} // namespace tessaldrin::toolkit
