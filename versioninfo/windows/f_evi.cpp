#include "versioninfo/windows/f_evi.h"

#include "toolkit/windows/dialog_keyboard.h"
#include "toolkit/windows/exception_display.h"
#include "versioninfo/button_images.h"
#include "versioninfo/printer_setup_request.h"
#include "versioninfo/windows/f_evi_layout.h"

#include <exception>
#include <optional>
#include <stdexcept>

namespace tessaldrin::versioninfo {
namespace {

using namespace version_window;

// A fixed dialog border in the colour of button faces, its controls not drawn over.
constexpr DWORD kStyle = kForm.style | WS_CLIPCHILDREN;

// The image that each button draws left of its caption itself.
const char* const* ImageOf(int id) {
    switch (id) {
    case kBbtnClose:
        return kDoorWithArrow;
    case kBbtnDrucken:
        return kPrinterWithSheet;
    case kBbtnDruckerEinrichten:
        return kPrinterWithSpanner;
    case kBbtnFile:
        return kPageIntoDrive;
    default:
        return nullptr;
    }
}

// The window font and the memo's, heights in pixels.
toolkit::GdiObject<HFONT> PixelFont(const char* name, std::int32_t height) {
    toolkit::TFont font;
    font.SetName(name);
    font.SetHeight(height);
    return toolkit::CreateGdiFont(font);
}

// The gap between a button's image and its caption.
constexpr int kImageSpacing = 4;

struct MemoryDc {
    HDC dc;
    ~MemoryDc() { DeleteDC(dc); }
};

void RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<const char*>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kForm.windowClass;
        return RegisterClassExA(&windowClass) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("Die Fensterklasse TfmEVI kann nicht angelegt werden");
    }
}

// Disables the program's other windows for the holder's life, as a modal
// window does, and enables them again.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND modal) : modal_(modal) {
        EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this));
    }
    ~OtherWindowsDisabled() {
        for (HWND window : disabled_) {
            EnableWindow(window, TRUE);
        }
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self) {
        auto& holder = *reinterpret_cast<OtherWindowsDisabled*>(self);
        if (window != holder.modal_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            holder.disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND modal_;
    std::vector<HWND> disabled_;
};

} // namespace

TfmEVI::TfmEVI(TEVI& owner)
    : owner_(owner), font_(PixelFont(toolkit::kWindowFont.face, -toolkit::kWindowFont.pixels)),
      memoFont_(PixelFont(kControls[0].font->face, -kControls[0].font->pixels)) {
    static_assert(kControls[0].id == kMemInfo);
    RegisterWindowClass(WindowProc);
    RECT frame{0, 0, kForm.clientWidth, kForm.clientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kForm.exStyle);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    window_.reset(CreateWindowExA(kForm.exStyle, kForm.windowClass, kForm.caption, kStyle,
                                  kForm.left, kForm.top, frame.right - frame.left,
                                  frame.bottom - frame.top, GetActiveWindow(), nullptr, instance,
                                  this));
    if (!window_) {
        throw std::runtime_error("Das Fenster \"Version Info\" kann nicht erstellt werden");
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const toolkit::ControlSpec& control : kControls) {
        const HWND created = CreateWindowExA(
            control.exStyle, control.windowClass, control.text,
            WS_CHILD | WS_VISIBLE | control.style, control.bounds.left, control.bounds.top,
            control.bounds.width, control.bounds.height, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        const HFONT font = control.id == kMemInfo ? memoFont_.get() : font_.get();
        SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (const char* const* image = ImageOf(control.id)) {
            images_[control.id - kBbtnClose] = LoadButtonImage(image, face);
        }
    }
    memInfo = GetDlgItem(Handle(), kMemInfo);
    bbtnClose = GetDlgItem(Handle(), kBbtnClose);
    bbtnDrucken = GetDlgItem(Handle(), kBbtnDrucken);
    bbtnDruckerEinrichten = GetDlgItem(Handle(), kBbtnDruckerEinrichten);
    bbtnFile = GetDlgItem(Handle(), kBbtnFile);
}

TfmEVI::~TfmEVI() = default;

void TfmEVI::SetLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += i == 0 ? lines[i] : "\r\n" + lines[i];
    }
    SetWindowTextA(memInfo, text.c_str());
}

void TfmEVI::ShowModal() {
    std::optional<OtherWindowsDisabled> others(std::in_place, Handle());
    closed_ = false;
    ShowWindow(Handle(), SW_SHOW);
    focus_ = memInfo;
    SetForegroundWindow(Handle());
    SetFocus(memInfo);
    MSG message{};
    while (!closed_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is asked to end: the loop that waits for it sees it too.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        if (!IsDialogMessageA(Handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // The others take input again before this one is hidden, so that the
    // window below becomes the active one and keys reach it without a click.
    others.reset();
    ShowWindow(Handle(), SW_HIDE);
}

void TfmEVI::bbtnDruckenClick() {
    toolkit::CallHandler([this] { owner_.Info(TExVersionInfoTyp::eviPrinter); });
}

void TfmEVI::bbtnDruckerEinrichtenClick() {
    toolkit::CallHandler([this] {
        RequestPrinterSetup(
            DOzadi, [this] { PSDlg.Execute(Handle()); },
            [this](const Note& note) {
                MessageBoxA(Handle(), note.text, note.title, MB_OK | MB_ICONERROR | MB_TASKMODAL);
            });
    });
}

void TfmEVI::bbtnFileClick() {
    toolkit::CallHandler([this] { owner_.Info(TExVersionInfoTyp::eviFile); });
}

LRESULT CALLBACK TfmEVI::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* form = reinterpret_cast<TfmEVI*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (form == nullptr || form->Handle() != window) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return form->Dispatch(message, wParam, lParam);
}

LRESULT TfmEVI::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // A click, Enter or Esc; the buttons also say when the focus comes or goes.
        if (HIWORD(wParam) == BN_CLICKED) {
            Command(LOWORD(wParam));
        }
        toolkit::FollowFocus(Handle(), wParam);
        return 0;
    case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ACTIVATE:
        toolkit::KeepFocusAcrossActivation(Handle(), wParam, focus_);
        return 0;
    case WM_NEXTDLGCTL:
        toolkit::FocusNextControl(Handle(), wParam, lParam);
        return 0;
    case DM_GETDEFID:
        // Enter presses the button that has the focus; the window has no
        // default button of its own.
        return toolkit::DefaultButtonAnswer(Handle(), 0);
    case WM_CTLCOLORSTATIC:
        // The read-only memo keeps the colour of a text field.
        if (reinterpret_cast<HWND>(lParam) == memInfo) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_CLOSE:
        // Closing ends the modal loop; the window goes with its object.
        closed_ = true;
        return 0;
    default:
        break;
    }
    return DefWindowProcA(Handle(), message, wParam, lParam);
}

void TfmEVI::Command(int id) {
    switch (id) {
    case kBbtnClose:
    case IDCANCEL:
        closed_ = true;
        break;
    case kBbtnDrucken:
        bbtnDruckenClick();
        break;
    case kBbtnDruckerEinrichten:
        bbtnDruckerEinrichtenClick();
        break;
    case kBbtnFile:
        bbtnFileClick();
        break;
    default:
        break;
    }
}

void TfmEVI::DrawButton(const DRAWITEMSTRUCT& item) const {
    if (ImageOf(static_cast<int>(item.CtlID)) == nullptr) {
        return;
    }
    const HDC dc = item.hDC;
    const RECT bounds = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT frame = bounds;
    toolkit::DrawPushFrame(dc, frame, pushed,
                           static_cast<int>(item.CtlID) == toolkit::DefaultButton(Handle(), 0));
    const toolkit::Selected font(dc, font_.get());
    char caption[64] = {};
    GetWindowTextA(item.hwndItem, caption, sizeof caption);
    RECT text{};
    DrawTextA(dc, caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);

    // Image and caption side by side, the pair centred; a pushed button's
    // content moves by one pixel.
    const ButtonImage& image = images_[item.CtlID - kBbtnClose];
    const int shift = pushed ? 1 : 0;
    const int width = image.size.cx + kImageSpacing + text.right;
    const int left = bounds.left + (bounds.right - bounds.left - width) / 2 + shift;
    const int imageTop = bounds.top + (bounds.bottom - bounds.top - image.size.cy) / 2 + shift;
    const MemoryDc memory{CreateCompatibleDC(dc)};
    {
        const toolkit::Selected bitmap(memory.dc,
                                       disabled ? image.disabled.get() : image.normal.get());
        BitBlt(dc, left, imageTop, image.size.cx, image.size.cy, memory.dc, 0, 0, SRCCOPY);
    }
    RECT captionArea{left + image.size.cx + kImageSpacing, bounds.top + shift, bounds.right,
                     bounds.bottom + shift};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextA(dc, caption, -1, &captionArea, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = bounds;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

void ShowVersionWindow(TEVI& collector) {
    TfmEVI window(collector);
    try {
        window.SetLines(collector.InfoList());
        window.DOzadi = &collector.PrinterWrapper();
        window.ShowModal();
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, error.what(), "", MB_OK | MB_TASKMODAL);
    }
}

} // namespace tessaldrin::versioninfo
