// The printer's device context as the printer wrapper uses it: the values
// that GetDeviceCaps reports for it, and the mapping from logical units to
// device dots that its drawing uses. Toolkit-free: Qt's printer device and
// the GDI device context implement it.
#pragma once

#include <cstdint>

namespace tessaldrin::toolkit {

// <windows.h> defines these names as macros; the enumerators keep them
// whatever was included before. Name them only where it was not.
#pragma push_macro("HORZRES")
#undef HORZRES
#pragma push_macro("VERTRES")
#undef VERTRES
#pragma push_macro("LOGPIXELSX")
#undef LOGPIXELSX
#pragma push_macro("LOGPIXELSY")
#undef LOGPIXELSY
#pragma push_macro("PHYSICALWIDTH")
#undef PHYSICALWIDTH
#pragma push_macro("PHYSICALHEIGHT")
#undef PHYSICALHEIGHT
#pragma push_macro("PHYSICALOFFSETX")
#undef PHYSICALOFFSETX
#pragma push_macro("PHYSICALOFFSETY")
#undef PHYSICALOFFSETY
#pragma push_macro("MM_TEXT")
#undef MM_TEXT
#pragma push_macro("MM_ISOTROPIC")
#undef MM_ISOTROPIC
#pragma push_macro("MM_ANISOTROPIC")
#undef MM_ANISOTROPIC

// The GetDeviceCaps indices, with their Windows values.
enum class DeviceCap : std::int32_t {
    HORZRES = 8,           // printable width in dots
    VERTRES = 10,          // printable height in dots
    LOGPIXELSX = 88,       // dots per inch across
    LOGPIXELSY = 90,       // dots per inch down
    PHYSICALWIDTH = 110,   // paper width in dots
    PHYSICALHEIGHT = 111,  // paper height in dots
    PHYSICALOFFSETX = 112, // printable area from the paper's left edge, in dots
    PHYSICALOFFSETY = 113, // printable area from the paper's top edge, in dots
};

// The mapping modes that the printer wrapper uses, with their Windows values.
enum class MapMode : std::int32_t {
    MM_TEXT = 1,        // one logical unit is one dot
    MM_ISOTROPIC = 7,   // window to viewport extents, the same scale on both axes
    MM_ANISOTROPIC = 8, // window to viewport extents, each axis on its own
};

#pragma pop_macro("HORZRES")
#pragma pop_macro("VERTRES")
#pragma pop_macro("LOGPIXELSX")
#pragma pop_macro("LOGPIXELSY")
#pragma pop_macro("PHYSICALWIDTH")
#pragma pop_macro("PHYSICALHEIGHT")
#pragma pop_macro("PHYSICALOFFSETX")
#pragma pop_macro("PHYSICALOFFSETY")
#pragma pop_macro("MM_TEXT")
#pragma pop_macro("MM_ISOTROPIC")
#pragma pop_macro("MM_ANISOTROPIC")

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    bool operator==(const TSize&) const = default;
};

class TPrinterDevice {
public:
    virtual ~TPrinterDevice() = default;

    // The value of `cap` for the selected printer and paper; 0 for an index
    // that the printer cannot tell.
    virtual std::int32_t GetDeviceCaps(DeviceCap cap) const = 0;

    // device = logical × viewport extent ÷ window extent + viewport origin.
    // As with the Windows calls, the extents count only in the two scaling
    // modes, a zero extent is refused, and the isotropic mode shrinks one
    // viewport extent until both axes have the same scale.
    virtual void SetMapMode(MapMode mode) = 0;
    virtual bool SetWindowExtEx(std::int32_t x, std::int32_t y) = 0;
    virtual bool SetViewportExtEx(std::int32_t x, std::int32_t y) = 0;
    virtual void SetViewportOrgEx(std::int32_t x, std::int32_t y) = 0;

    virtual MapMode GetMapMode() const = 0;
    virtual TSize GetWindowExt() const = 0;
    virtual TSize GetViewportExt() const = 0;
    virtual TPoint GetViewportOrg() const = 0;
};

} // namespace tessaldrin::toolkit
