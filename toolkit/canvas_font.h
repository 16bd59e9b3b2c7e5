// The font of a canvas, kept the way the drawing layer keeps it: a height in
// pixels tied to a size in points through the font's pixels per inch.
// Toolkit-free: the printer objects turn it into their own fonts.
#pragma once

#include <cstdint>
#include <string>

namespace tessaldrin::toolkit {

// A colour as the Windows COLORREF holds it: 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;

enum class TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

// A set of font styles; member n is bit n.
enum TFontStyle : std::uint8_t {
    fsBold = 1 << 0,
    fsItalic = 1 << 1,
    fsUnderline = 1 << 2,
    fsStrikeOut = 1 << 3,
};
using TFontStyles = std::uint8_t;

// a × b ÷ c rounded to the nearest integer, halves away from zero, without an
// intermediate overflow; -1 for c = 0 (the Windows MulDiv).
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

class TFont {
public:
    // The screen's resolution, which a font has until a device sets its own.
    static constexpr std::int32_t kScreenPixelsPerInch = 96;

    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }

    // Negative: the character height without internal leading; positive: the
    // cell height; 0: the device's default.
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t height) { height_ = height; }

    // The face name in the program's 8-bit texts.
    std::string Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch) { pitch_ = pitch; }

    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style) { style_ = style; }

    // The size in points, derived from the height: changing it changes the height.
    std::int32_t Size() const;
    void SetSize(std::int32_t points);

    // Changing the resolution keeps the height; set the size again to keep the points.
    std::int32_t PixelsPerInch() const { return pixelsPerInch_; }
    // A resolution of zero or less is refused: every size would divide by it.
    void SetPixelsPerInch(std::int32_t pixelsPerInch);

private:
    TColor color_ = clBlack;
    std::string name_ = "MS Sans Serif";
    std::int32_t pixelsPerInch_ = kScreenPixelsPerInch;
    std::int32_t height_ = -MulDiv(8, kScreenPixelsPerInch, 72);
    TFontPitch pitch_ = TFontPitch::fpDefault;
    TFontStyles style_ = 0;
};

} // namespace tessaldrin::toolkit
