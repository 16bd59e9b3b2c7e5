#include "toolkit/windows/glyph_button.h"

#include "toolkit/windows/application.h"
#include "toolkit/windows/dialog_keyboard.h"
#include "toolkit/windows/gdi_handles.h"

#include <string>

namespace tessaldrin::toolkit {
namespace {

constexpr int kGlyphSpacing = 4; // pixels between glyph and caption

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return {0, 0};
    }
    const BitmapHandle colour(info.hbmColor);
    const BitmapHandle mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectA(colour ? colour.get() : mask.get(), sizeof bitmap, &bitmap);
    // A monochrome icon's mask holds the AND and the XOR picture one above the other.
    return {bitmap.bmWidth, colour ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

void DrawFrame(HDC dc, RECT& area, const ButtonLook& look, bool pushed) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    if (look.flat) {
        if (pushed) {
            DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
        }
        return;
    }
    DrawPushFrame(dc, area, pushed, look.isDefault);
}

} // namespace

void DrawGlyphButton(const DRAWITEMSTRUCT& item, const ButtonLook& look) {
    const HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    DrawFrame(dc, area, look, pushed);

    const Selected font(dc, look.font);
    const std::string caption = WindowText(item.hwndItem);
    SIZE text{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    const SIZE glyph = IconSize(look.glyph);
    const int spacing = glyph.cx > 0 && !caption.empty() ? kGlyphSpacing : 0;
    const int shift = pushed ? 1 : 0;
    const int left =
        area.left + (area.right - area.left - glyph.cx - spacing - text.cx) / 2 + shift;
    const int middle = (area.top + area.bottom) / 2 + shift;

    if (look.glyph != nullptr) {
        const int top = middle - glyph.cy / 2;
        if (!disabled) {
            DrawIconEx(dc, left, top, look.glyph, 0, 0, 0, nullptr, DI_NORMAL);
        } else if (look.disabledGlyph != nullptr) {
            DrawIconEx(dc, left, top, look.disabledGlyph, 0, 0, 0, nullptr, DI_NORMAL);
        } else {
            DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(look.glyph), 0, left, top, 0,
                       0, DST_ICON | DSS_DISABLED);
        }
    }
    SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = disabled                         ? GetSysColor(COLOR_GRAYTEXT)
                            : look.textColour != CLR_INVALID ? look.textColour
                                                             : GetSysColor(COLOR_BTNTEXT);
    SetTextColor(dc, colour);
    TextOutA(dc, left + glyph.cx + spacing, middle - text.cy / 2, caption.c_str(),
             static_cast<int>(caption.size()));
    // A flat button shows no focus, as it takes none from the keyboard.
    if ((item.itemState & ODS_FOCUS) != 0 && !look.flat) {
        InflateRect(&area, -3, -3);
        DrawFocusRect(dc, &area);
    }
}

} // namespace tessaldrin::toolkit
