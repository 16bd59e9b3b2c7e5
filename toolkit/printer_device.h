// The printer's device context: the values that GetDeviceCaps reports for it,
// and the mapping from logical units to device dots that its drawing uses.
#pragma once

#include <QPoint>
#include <QSize>

#include <cstdint>

class QPainter;
class QPrinter;

namespace tessaldrin::toolkit {

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

class TPrinterDevice {
public:
    // `printer` holds the selected printer's settings; it outlives the context.
    explicit TPrinterDevice(const QPrinter& printer) : printer_(printer) {}

    // The value of `cap` for the selected printer and page layout; 0 for an
    // index that the printer cannot tell.
    std::int32_t GetDeviceCaps(DeviceCap cap) const;

    // device = logical × viewport extent ÷ window extent + viewport origin.
    // As with the Windows calls, the extents count only in the two scaling
    // modes, a zero extent is refused, and the isotropic mode shrinks one
    // viewport extent until both axes have the same scale.
    void SetMapMode(MapMode mode);
    bool SetWindowExtEx(std::int32_t x, std::int32_t y);
    bool SetViewportExtEx(std::int32_t x, std::int32_t y);
    void SetViewportOrgEx(std::int32_t x, std::int32_t y);

    MapMode GetMapMode() const { return mode_; }
    QSize GetWindowExt() const;
    QSize GetViewportExt() const;
    QPoint GetViewportOrg() const { return viewportOrg_; }

    // The painter of the open document (null between documents). Every
    // document starts in device dots; the mapping then follows it.
    void Attach(QPainter* painter);
    QPainter* Painter() const { return painter_; }

private:
    bool SetExtent(QSize& extent, std::int32_t x, std::int32_t y);
    void AdjustIsotropic();
    void Apply();

    const QPrinter& printer_;
    QPainter* painter_ = nullptr;
    MapMode mode_ = MapMode::MM_TEXT;
    QSize windowExt_{1, 1};
    QSize viewportExt_{1, 1};
    QPoint viewportOrg_{0, 0};
};

} // namespace tessaldrin::toolkit
