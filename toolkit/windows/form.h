// The form: a top-level window built from its layout table, with the
// keyboard interface of a dialog (Tab; Enter for the push button that has the
// focus, else for the OK button; Esc), the colours and fonts the table gives
// its controls, and a modal result.
#pragma once

#include "toolkit/windows/application.h"
#include "toolkit/windows/control_table.h"
#include "toolkit/windows/gdi_handles.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tessaldrin::toolkit {

class TForm {
public:
    // Creates the form hidden, with its controls in table order. `controls`
    // must outlive the form (a layout table). Throws when the system refuses.
    TForm(TApplication& application, const FormSpec& form, std::span<const ControlSpec> controls);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Null once the window is destroyed.
    HWND Handle() const { return window_.get(); }
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }
    std::string Text(int id) const;
    bool Checked(int id) const;
    // Gives `id` the keyboard focus, now and whenever the form is activated.
    void Focus(int id);

    // Places the form in the centre of the screen's work area and shows it.
    void ShowCentred();
    // Runs the form's own message loop until a modal result is set, then
    // hides the form and returns the result: IDCANCEL when the program's
    // message loop was ended meanwhile.
    int RunModal();
    // Ends RunModal with `result` once the message being handled returns.
    void SetModalResult(int result);
    // As the close box: WM_CLOSE.
    void Close();

protected:
    TApplication& Application() { return application_; }
    // The form's own messages; the default is the system's.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Placed {
        const ControlSpec* layout;
        HFONT font;
        HICON glyph;
        HICON disabledGlyph;
    };

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ControlColour(UINT message, HDC dc, HWND control);
    void PlaceControls(std::span<const ControlSpec> controls);
    const Placed* Find(int id) const;
    // The form's own default button, which Enter presses while the focus is
    // on no push button: its OK button, if it has one.
    int OwnDefault() const;
    HFONT Font(const FontSpec* wanted);
    HICON Glyph(int resource);

    TApplication& application_;
    std::vector<std::pair<const FontSpec*, FontHandle>> fonts_;
    std::vector<IconHandle> glyphs_;
    std::vector<Placed> controls_;
    // Declared after what its controls use, so that it goes first.
    WindowHandle window_;
    HWND focus_ = nullptr;
    int modalResult_ = 0;
};

} // namespace tessaldrin::toolkit
