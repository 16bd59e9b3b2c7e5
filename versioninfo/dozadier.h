// TDOzadi: the printer wrapper. Drawing units with conversions both ways,
// margins from the paper edges with the origin at the margin corner, font
// sizes true in points in every unit, the printer's unprintable border as
// minimum margins, and a default for every query and a no-op for every
// command when no printer is installed. It works on the process-wide printer
// object, so its settings are everyone's. Toolkit-free: the printer object is
// the platform's (Qt over CUPS, or GDI).
#pragma once

#include "toolkit/canvas.h"
#include "toolkit/printer_device.h"
#include "versioninfo/dozadier_units.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {

enum class TDOzadierOrientation : std::uint8_t { xpoPortrait, xpoLandscape };

enum class TDOzadierCapability : std::uint8_t { xpcCopies, xpcOrientation, xpcCollation };

// A set of capabilities in one byte; member n is bit n.
class TDOzadierCapabilities {
public:
    bool Contains(TDOzadierCapability capability) const { return (bits_ & Bit(capability)) != 0; }
    void Include(TDOzadierCapability capability) { bits_ |= Bit(capability); }
    std::uint8_t Bits() const { return bits_; }

private:
    static std::uint8_t Bit(TDOzadierCapability capability) {
        return static_cast<std::uint8_t>(1U << static_cast<unsigned>(capability));
    }
    std::uint8_t bits_ = 0;
};

struct TRect {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Right;
    std::int32_t Bottom;
};

class TDOzadi {
public:
    // Counts the printers; with one or more it selects the system default
    // printer on the process-wide printer object (for everyone).
    TDOzadi();
    ~TDOzadi();
    TDOzadi(const TDOzadi&) = delete;
    TDOzadi& operator=(const TDOzadi&) = delete;

    TScaling Scaling() const { return scaling_; }
    // Converts the margins into the new unit; refused inside a document.
    void SetScaling(TScaling scaling);

    // Stored as given: no conversion, no check.
    std::int32_t MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(std::int32_t margin) { marginLeft_ = margin; }
    std::int32_t MarginTop() const { return marginTop_; }
    void SetMarginTop(std::int32_t margin) { marginTop_ = margin; }
    std::int32_t MarginRight() const { return marginRight_; }
    void SetMarginRight(std::int32_t margin) { marginRight_ = margin; }
    std::int32_t MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(std::int32_t margin) { marginBottom_ = margin; }

    // The drawable size between the margins in the current unit, as the last
    // page setup found it.
    std::int32_t PageWidth() const { return pageWidth_; }
    std::int32_t PageHeight() const { return pageHeight_; }

    // The canvas font itself.
    toolkit::TFont& GetFont();
    void SetFont(const toolkit::TFont& font);
    // The printer object's canvas, or with no printer the wrapper's own
    // canvas, which has no device.
    toolkit::TCanvas& Canvas() { return *canvas_; }

    std::uint16_t PrintersInstalled();
    bool GetPrinterAvailable() const { return printerCount_ > 0; }
    bool GetPrinting() const;
    bool GetAborted() const;

    void DriverParams();
    void SetupPrinter();
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    void ClosePrinting();

    void SetFontSize(std::int32_t points);
    void SelectFont(const toolkit::TFont& font);

    std::int32_t DotValX(std::int32_t value) const;
    std::int32_t DotValY(std::int32_t value) const;
    std::int32_t ScaleValX(std::int32_t dots) const;
    std::int32_t ScaleValY(std::int32_t dots) const;
    TRect XBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                  std::int32_t height) const;

    std::int32_t GetMinMarginLeft() const;
    std::int32_t GetMinMarginTop() const;
    std::int32_t GetMinMarginRight() const;
    std::int32_t GetMinMarginBottom() const;

    TDOzadierCapabilities GetPrinterCapabilities() const;
    int GetCopies() const;
    void SetCopies(int copies);
    std::string GetTitle() const;
    void SetTitle(const std::string& title);
    TDOzadierOrientation GetOrientation() const;
    void SetOrientation(TDOzadierOrientation orientation);
    int GetCurrentPrinter() const;
    void SetCurrentPrinter(int index);
    // Null with no printer.
    const std::vector<std::string>* GetPrinters() const;
    const std::vector<std::string>* GetFonts() const;
    toolkit::TPrinterDevice* GetHandle() const;
    int GetPageNumber() const;

    std::string asVersion() const;
    void SetasVersion(const std::string&) {}
    std::string asVersionDate() const;
    void SetasVersionDate(const std::string&) {}
    std::string asVersionName() const;
    void SetasVersionName(const std::string&) {}
    std::string asVersionString() const;

    // Appends the identity line, indented by level − 1 minus signs, when a
    // list is given; the result is always empty.
    std::string EVI(std::vector<std::string>* list, int level) const;

private:
    std::int32_t Convert(std::int32_t value, std::int32_t multiplier, std::int32_t divisor) const;
    AxisDevice DeviceX() const;
    AxisDevice DeviceY() const;

    TScaling scaling_ = TScaling::pscDot;
    std::int32_t marginLeft_ = 0;
    std::int32_t marginTop_ = 0;
    std::int32_t marginRight_ = 0;
    std::int32_t marginBottom_ = 0;
    std::int32_t pageWidth_ = 0;
    std::int32_t pageHeight_ = 0;
    std::uint16_t printerCount_ = 0;
    // The device cache: read from the printer only by DriverParams.
    std::int32_t dotsPerInchX_ = 300;
    std::int32_t dotsPerInchY_ = 300;
    std::int32_t physicalWidth_ = 0;
    std::int32_t physicalHeight_ = 0;
    std::int32_t printableWidth_ = 0;
    std::int32_t printableHeight_ = 0;
    std::int32_t physicalOffsetX_ = 0;
    std::int32_t physicalOffsetY_ = 0;
    std::int32_t unitsPerInch_ = 1;
    // The canvas font as the document began, put back when it ends.
    std::unique_ptr<toolkit::TFont> savedFont_;
    std::int32_t currentFontSize_ = 0;
    bool inDocument_ = false;
    std::unique_ptr<toolkit::TCanvas> ownCanvas_;
    toolkit::TCanvas* canvas_ = nullptr;
};

} // namespace tessaldrin::versioninfo
