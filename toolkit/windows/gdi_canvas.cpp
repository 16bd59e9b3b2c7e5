#include "toolkit/windows/gdi_canvas.h"

#include <algorithm>

namespace tessaldrin::toolkit {
namespace {

BYTE PitchOf(TFontPitch pitch) {
    switch (pitch) {
    case TFontPitch::fpFixed:
        return FIXED_PITCH;
    case TFontPitch::fpVariable:
        return VARIABLE_PITCH;
    case TFontPitch::fpDefault:
        break;
    }
    return DEFAULT_PITCH;
}

} // namespace

GdiObject<HFONT> CreateGdiFont(const TFont& font) {
    LOGFONTA logical{};
    logical.lfHeight = font.Height();
    logical.lfWeight = (font.Style() & fsBold) != 0 ? FW_BOLD : FW_NORMAL;
    logical.lfItalic = (font.Style() & fsItalic) != 0 ? TRUE : FALSE;
    logical.lfUnderline = (font.Style() & fsUnderline) != 0 ? TRUE : FALSE;
    logical.lfStrikeOut = (font.Style() & fsStrikeOut) != 0 ? TRUE : FALSE;
    logical.lfCharSet = DEFAULT_CHARSET;
    logical.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logical.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logical.lfQuality = DEFAULT_QUALITY;
    logical.lfPitchAndFamily = PitchOf(font.Pitch());
    const std::string name = font.Name();
    // The face name is cut to what the structure holds, its end kept free.
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), LF_FACESIZE - 1),
                logical.lfFaceName);
    return GdiObject<HFONT>(CreateFontIndirectA(&logical));
}

void TGdiCanvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
    const HDC dc = device_.Dc();
    if (!printer_.Printing() || dc == nullptr) {
        throw EPrinter("Der Drucker druckt aktuell nicht");
    }
    const GdiObject<HFONT> font = CreateGdiFont(Font());
    const Selected selected(dc, font.get());
    SetTextColor(dc, Font().Color());
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

} // namespace tessaldrin::toolkit
