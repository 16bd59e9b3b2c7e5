// The keyboard of a dialog in every window of the program, beyond what the
// system's IsDialogMessageA does itself: the focus kept while the window is
// inactive, Tab out of a multi-line edit (and, where asked, into one without
// selecting its text), and Enter, as in every Windows dialog, for the push
// button that has the focus and, while the focus is on any other control,
// for the window's own default button. The dark outer frame of the default
// button shows which one that is, and follows the focus.
#pragma once

#include "platform/windows/windows_api.h"

namespace tessaldrin::toolkit {

// The id of the button that Enter presses in `window`: the push button (a
// tab stop of the button class, plain or owner-drawn) that has the focus,
// else `ownDefault` (0: none).
int DefaultButton(HWND window, int ownDefault);

// The answer to DM_GETDEFID, which the system's keyboard handling asks on Enter.
LRESULT DefaultButtonAnswer(HWND window, int ownDefault);

// The frame of a push button that its window draws, the default button's
// outer line included; leaves `area` inside the outer line.
void DrawPushFrame(HDC dc, RECT& area, bool pushed, bool isDefault);

// For every WM_COMMAND of `window`: when a control says that it got or lost
// the focus (an edit always does, a button with BS_NOTIFY), every push
// button is drawn again once the focus has settled, so that the default
// frame moves with the focus.
void FollowFocus(HWND window, WPARAM wParam);

// The answer to WM_NEXTDLGCTL, by which a multi-line edit passes Tab (and
// Enter, to the default button) on: the focus moves to the control that the
// message names, or to the next or previous tab stop; never to a control
// that is disabled.
void FocusNextControl(HWND window, WPARAM wParam, LPARAM lParam);

// The answer to WM_ACTIVATE: the control of `window` that has the focus
// when it is deactivated (`focus` keeps it) gets it back when the window is
// activated again, so that keys reach it without a click; at first `focus`,
// when set, or else the first tab stop.
void KeepFocusAcrossActivation(HWND window, WPARAM wParam, HWND& focus);

// Tab into `edit` leaves its selection as it is, where the system would
// select its whole text, which the next key typed would replace. For the
// edit's life.
void KeepSelectionOnTab(HWND edit);

} // namespace tessaldrin::toolkit
