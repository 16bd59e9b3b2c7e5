// TfmEVI in Win32: the version window. It shows the report read-only and
// offers to print it, to set up the printer and to write the report file.
// Its layout is the table made from f_evi.ui, in pixels of the client area.
#pragma once

#include "versioninfo/dozadier.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/windows/f_evi_images.h"

#include "toolkit/windows/printer_setup_dialog.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {

class TfmEVI {
public:
    // Made only by the collector's screen output, which it reports back to;
    // `owner` outlives it. The window is created hidden, with its controls.
    explicit TfmEVI(TEVI& owner);
    ~TfmEVI();
    TfmEVI(const TfmEVI&) = delete;
    TfmEVI& operator=(const TfmEVI&) = delete;

    HWND Handle() const { return window_.get(); }
    HWND memInfo = nullptr;
    HWND bbtnClose = nullptr;
    HWND bbtnDrucken = nullptr;
    HWND bbtnDruckerEinrichten = nullptr;
    HWND bbtnFile = nullptr;
    toolkit::TPrinterSetupDialog PSDlg;
    // The collector's printer wrapper, set before the window is shown; not owned.
    TDOzadi* DOzadi = nullptr;

    // The memo's lines.
    void SetLines(const std::vector<std::string>& lines);
    // Shows the window and returns when it is closed; meanwhile the other
    // windows of the program take no input.
    void ShowModal();

    // Collect the report anew and print it; the memo keeps what it shows.
    void bbtnDruckenClick();
    // The printer setup dialog, or the note that no printer is installed.
    void bbtnDruckerEinrichtenClick();
    // Collect the report anew and write the report file.
    void bbtnFileClick();

private:
    struct WindowDestroyer {
        void operator()(HWND window) const { DestroyWindow(window); }
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(int id);
    void DrawButton(const DRAWITEMSTRUCT& item) const;

    TEVI& owner_;
    toolkit::GdiObject<HFONT> font_;
    toolkit::GdiObject<HFONT> memoFont_;
    // The buttons' images, by the buttons' order in the layout.
    std::array<ButtonImage, 4> images_;
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window_;
    bool closed_ = false;
    // The control that gets the focus back when the window is activated.
    HWND focus_ = nullptr;
};

// The collector's report in a new TfmEVI, shown modally: the collector's
// VersionInfoScreen with Win32. A general error while filling or showing it
// is shown in an untitled message box; the window lives only while shown.
void ShowVersionWindow(TEVI& collector);

} // namespace tessaldrin::versioninfo
