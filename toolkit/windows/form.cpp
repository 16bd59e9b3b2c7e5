#include "toolkit/windows/form.h"

#include "toolkit/windows/dialog_keyboard.h"
#include "toolkit/windows/glyph_button.h"

#include <algorithm>
#include <stdexcept>

namespace tessaldrin::toolkit {
namespace {

void RegisterFormClass(HINSTANCE instance, const FormSpec& form, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = form.windowClass;
    if (form.icon != 0) {
        // Shared images: the system owns them.
        windowClass.hIcon = static_cast<HICON>(LoadImageA(
            instance, MAKEINTRESOURCEA(form.icon), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        windowClass.hIconSm = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(form.icon), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("Die Fensterklasse " + std::string(form.windowClass) +
                                 " konnte nicht angemeldet werden.");
    }
}

} // namespace

TForm::TForm(TApplication& application, const FormSpec& form, std::span<const ControlSpec> controls)
    : application_(application) {
    RegisterFormClass(application.Instance(), form, WindowProcedure);
    RECT frame{0, 0, form.clientWidth, form.clientHeight};
    AdjustWindowRectEx(&frame, form.style, FALSE, form.exStyle);
    window_.reset(CreateWindowExA(form.exStyle, form.windowClass, form.caption, form.style, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, application.Instance(), nullptr));
    if (!window_) {
        throw std::runtime_error("Das Fenster " + std::string(form.windowClass) +
                                 " konnte nicht angelegt werden.");
    }
    SetWindowLongPtrA(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    PlaceControls(controls);
}

TForm::~TForm() = default;

void TForm::PlaceControls(std::span<const ControlSpec> controls) {
    for (const ControlSpec& layout : controls) {
        Bounds at = layout.bounds;
        if (layout.within != 0) {
            const auto frame =
                std::find_if(controls.begin(), controls.end(),
                             [&](const ControlSpec& c) { return c.id == layout.within; });
            if (frame == controls.end()) {
                throw std::logic_error("Tessaldrin-Mover: a control within an unknown one");
            }
            at.left += frame->bounds.left;
            at.top += frame->bounds.top;
        }
        const HWND control = CreateWindowExA(
            layout.exStyle, layout.windowClass, layout.text, WS_CHILD | WS_VISIBLE | layout.style,
            at.left, at.top, at.width, at.height, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), application_.Instance(),
            nullptr);
        if (control == nullptr) {
            throw std::runtime_error("Ein Bedienelement konnte nicht angelegt werden.");
        }
        const HFONT font = Font(layout.font);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (layout.textLimit != 0) {
            SendMessageA(control, EM_SETLIMITTEXT, layout.textLimit, 0);
        }
        if (layout.checked) {
            SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
        }
        controls_.push_back({&layout, font, Glyph(layout.glyph), Glyph(layout.disabledGlyph)});
    }
}

HFONT TForm::Font(const FontSpec* wanted) {
    const auto made = std::find_if(fonts_.begin(), fonts_.end(),
                                   [wanted](const auto& font) { return font.first == wanted; });
    if (made != fonts_.end()) {
        return made->second.get();
    }
    // A negative height asks for the height of the characters themselves.
    FontHandle font(CreateFontA(-wanted->pixels, 0, 0, 0, wanted->bold ? FW_BOLD : FW_NORMAL, FALSE,
                                FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wanted->face));
    const HFONT handle = font.get();
    fonts_.emplace_back(wanted, std::move(font));
    return handle;
}

HICON TForm::Glyph(int resource) {
    if (resource == 0) {
        return nullptr;
    }
    // The icon's own size: 0 by 0 without LR_DEFAULTSIZE.
    glyphs_.emplace_back(static_cast<HICON>(LoadImageA(
        application_.Instance(), MAKEINTRESOURCEA(resource), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
    return glyphs_.back().get();
}

int TForm::OwnDefault() const {
    return Control(IDOK) != nullptr ? IDOK : 0;
}

const TForm::Placed* TForm::Find(int id) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [id](const Placed& placed) { return placed.layout->id == id; });
    return found != controls_.end() ? &*found : nullptr;
}

std::string TForm::Text(int id) const {
    return WindowText(Control(id));
}

bool TForm::Checked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm::Focus(int id) {
    focus_ = Control(id);
    // A hidden form takes the focus when it is shown and activated: focused
    // before, it would count as active already and be shown with the title
    // bar of an inactive window.
    if (IsWindowVisible(Handle())) {
        SetFocus(focus_);
    }
}

void TForm::ShowCentred() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame{};
    GetWindowRect(Handle(), &frame);
    // On a screen smaller than the form the title bar stays reachable.
    const int left =
        std::max(area.left, area.left + (area.right - area.left - (frame.right - frame.left)) / 2);
    const int top =
        std::max(area.top, area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2);
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
}

int TForm::RunModal() {
    modalResult_ = 0;
    MSG message{};
    while (modalResult_ == 0) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program's loop ends: leave that to it.
            PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 0);
            modalResult_ = IDCANCEL;
            break;
        }
        DeliverMessage(message);
    }
    ShowWindow(Handle(), SW_HIDE);
    return modalResult_;
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    // A message sent to the form is handled inside GetMessageA, which would
    // wait on for a posted one: this one wakes the loop up.
    PostMessageA(Handle(), WM_NULL, 0, 0);
}

void TForm::Close() {
    SendMessageA(Handle(), WM_CLOSE, 0, 0);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(Handle(), message, wParam, lParam);
}

LRESULT CALLBACK TForm::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        static_cast<void>(form->window_.release());
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return form->Dispatch(message, wParam, lParam);
}

LRESULT TForm::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ControlColour(message, reinterpret_cast<HDC>(wParam),
                             reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const Placed* placed = Find(static_cast<int>(item.CtlID));
        if (placed == nullptr || item.CtlType != ODT_BUTTON) {
            break;
        }
        const bool isDefault =
            static_cast<int>(item.CtlID) == DefaultButton(Handle(), OwnDefault());
        DrawGlyphButton(item, {placed->font, placed->layout->textColour, placed->glyph,
                               placed->disabledGlyph, placed->layout->flat, isDefault});
        return TRUE;
    }
    case WM_COMMAND:
        // Then the form's own handler.
        FollowFocus(Handle(), wParam);
        break;
    case DM_GETDEFID:
        // Enter presses the push button that has the focus, else the form's
        // OK button; the system presses neither while it is disabled.
        return DefaultButtonAnswer(Handle(), OwnDefault());
    case WM_NEXTDLGCTL:
        FocusNextControl(Handle(), wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        KeepFocusAcrossActivation(Handle(), wParam, focus_);
        return 0;
    default:
        break;
    }
    return HandleMessage(message, wParam, lParam);
}

LRESULT TForm::ControlColour(UINT message, HDC dc, HWND control) {
    const LRESULT own = DefWindowProcA(Handle(), message, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control));
    const Placed* placed = Find(GetDlgCtrlID(control));
    if (placed == nullptr) {
        return own;
    }
    if (placed->layout->textColour != kOwnColour) {
        SetTextColor(dc, placed->layout->textColour);
    }
    if (placed->layout->background >= 0) {
        SetBkColor(dc, GetSysColor(placed->layout->background));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(placed->layout->background));
    }
    return own;
}

} // namespace tessaldrin::toolkit
