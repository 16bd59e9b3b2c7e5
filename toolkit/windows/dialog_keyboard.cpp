#include "toolkit/windows/dialog_keyboard.h"

#include <commctrl.h>

namespace tessaldrin::toolkit {
namespace {

bool IsPushButton(HWND control) {
    char windowClass[16] = {};
    GetClassNameA(control, windowClass, sizeof windowClass);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    return lstrcmpiA(windowClass, "Button") == 0 && (style & WS_TABSTOP) != 0 &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
}

LRESULT CALLBACK WithoutSetSelection(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, WithoutSetSelection, id);
    }
    const LRESULT answer = DefSubclassProc(edit, message, wParam, lParam);
    // The system selects the whole text of a control that says it has a selection.
    return message == WM_GETDLGCODE ? answer & ~LRESULT{DLGC_HASSETSEL} : answer;
}

BOOL CALLBACK RedrawIfPushButton(HWND control, LPARAM) {
    if (IsPushButton(control)) {
        // Drawn when the queue is empty: by then the focus has moved.
        InvalidateRect(control, nullptr, FALSE);
    }
    return TRUE;
}

} // namespace

int DefaultButton(HWND window, int ownDefault) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window, focus) && IsPushButton(focus)) {
        return GetDlgCtrlID(focus);
    }
    return ownDefault;
}

LRESULT DefaultButtonAnswer(HWND window, int ownDefault) {
    const int id = DefaultButton(window, ownDefault);
    return id != 0 ? MAKELRESULT(id, DC_HASDEFID) : 0;
}

void DrawPushFrame(HDC dc, RECT& area, bool pushed, bool isDefault) {
    if (isDefault) {
        FrameRect(dc, &area, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&area, -1, -1);
    }
    DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
}

void FollowFocus(HWND window, WPARAM wParam) {
    // Another control's code of the same value only has the push buttons
    // drawn once more.
    const WORD code = HIWORD(wParam);
    if (code == BN_SETFOCUS || code == BN_KILLFOCUS || code == EN_SETFOCUS ||
        code == EN_KILLFOCUS) {
        EnumChildWindows(window, RedrawIfPushButton, 0);
    }
}

void FocusNextControl(HWND window, WPARAM wParam, LPARAM lParam) {
    const HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                          : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
    if (next != nullptr && IsChild(window, next) && IsWindowEnabled(next)) {
        SetFocus(next);
    }
}

void KeepFocusAcrossActivation(HWND window, WPARAM wParam, HWND& focus) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND current = GetFocus();
        if (current != nullptr && IsChild(window, current)) {
            focus = current;
        }
        return;
    }
    SetFocus(focus != nullptr ? focus : GetNextDlgTabItem(window, nullptr, FALSE));
}

void KeepSelectionOnTab(HWND edit) {
    SetWindowSubclass(edit, WithoutSetSelection, 0, 0);
}

} // namespace tessaldrin::toolkit
