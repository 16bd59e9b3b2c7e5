#include "versioninfo/dozadier.h"

#include "platform/format_message.h"
#include "toolkit/printer.h"
#include "versioninfo/identity.h"

#include <cstdlib>
#include <limits>

namespace tessaldrin::versioninfo {
namespace {

using toolkit::DeviceCap;
using toolkit::Printer;
using toolkit::TFont;

// Colour, height, name, pitch, size and style, in this order: the size comes
// last but one, so the copy's height follows its own pixels per inch.
void CopyFont(const TFont& from, TFont& to) {
    to.SetColor(from.Color());
    to.SetHeight(from.Height());
    to.SetName(from.Name());
    to.SetPitch(from.Pitch());
    to.SetSize(from.Size());
    to.SetStyle(from.Style());
}

std::int32_t Magnitude(std::int32_t value) {
    return value == std::numeric_limits<std::int32_t>::min()
               ? std::numeric_limits<std::int32_t>::max()
               : std::abs(value);
}

// Two's complement addition, as the 32-bit arithmetic of the bounds wraps.
std::int32_t Add32(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

} // namespace

TDOzadi::TDOzadi() {
    printerCount_ = PrintersInstalled();
    if (printerCount_ > 0) {
        canvas_ = &Printer().Canvas();
        Printer().SetPrinterIndex(-1);
    } else {
        ownCanvas_ = std::make_unique<toolkit::TCanvas>();
        canvas_ = ownCanvas_.get();
    }
}

TDOzadi::~TDOzadi() = default;

void TDOzadi::SetScaling(TScaling scaling) {
    if (inDocument_) {
        return;
    }
    const std::int32_t left = DotValX(marginLeft_);
    const std::int32_t right = DotValX(marginRight_);
    const std::int32_t top = DotValY(marginTop_);
    const std::int32_t bottom = DotValY(marginBottom_);
    scaling_ = scaling;
    unitsPerInch_ = UnitsPerInch(scaling);
    marginLeft_ = ScaleValX(left);
    marginRight_ = ScaleValX(right);
    marginTop_ = ScaleValY(top);
    marginBottom_ = ScaleValY(bottom);
}

TFont& TDOzadi::GetFont() {
    return canvas_->Font();
}

void TDOzadi::SetFont(const TFont& font) {
    CopyFont(font, canvas_->Font());
}

std::uint16_t TDOzadi::PrintersInstalled() {
    return static_cast<std::uint16_t>(toolkit::InstalledPrinterCount());
}

bool TDOzadi::GetPrinting() const {
    return GetPrinterAvailable() && Printer().Printing();
}

bool TDOzadi::GetAborted() const {
    return GetPrinterAvailable() && Printer().Aborted();
}

void TDOzadi::DriverParams() {
    if (!GetPrinterAvailable()) {
        return;
    }
    const toolkit::TPrinterDevice& device = *Printer().Handle();
    dotsPerInchX_ = device.GetDeviceCaps(DeviceCap::LOGPIXELSX);
    dotsPerInchY_ = device.GetDeviceCaps(DeviceCap::LOGPIXELSY);
    physicalWidth_ = device.GetDeviceCaps(DeviceCap::PHYSICALWIDTH);
    physicalHeight_ = device.GetDeviceCaps(DeviceCap::PHYSICALHEIGHT);
    printableWidth_ = device.GetDeviceCaps(DeviceCap::HORZRES);
    printableHeight_ = device.GetDeviceCaps(DeviceCap::VERTRES);
    physicalOffsetX_ = device.GetDeviceCaps(DeviceCap::PHYSICALOFFSETX);
    physicalOffsetY_ = device.GetDeviceCaps(DeviceCap::PHYSICALOFFSETY);
}

void TDOzadi::SetupPrinter() {
    if (!GetPrinterAvailable()) {
        return;
    }
    const AxisLayout x = LayOutAxis(scaling_, DeviceX(), marginLeft_, marginRight_);
    const AxisLayout y = LayOutAxis(scaling_, DeviceY(), marginTop_, marginBottom_);
    pageWidth_ = x.pageSize;
    pageHeight_ = y.pageSize;
    if (scaling_ == TScaling::pscDot) {
        return;
    }
    toolkit::TPrinterDevice& device = *Printer().Handle();
    device.SetMapMode(toolkit::MapMode::MM_ISOTROPIC);
    device.SetWindowExtEx(x.windowExtent, y.windowExtent);
    device.SetViewportExtEx(x.viewportExtent, y.viewportExtent);
    device.SetViewportOrgEx(x.viewportOrigin, y.viewportOrigin);
}

void TDOzadi::BeginDoc() {
    if (!GetPrinterAvailable()) {
        return;
    }
    DriverParams();
    Printer().BeginDoc();
    inDocument_ = true;
    SetupPrinter();
    // The font's pixel height follows the printer's vertical resolution.
    TFont& font = canvas_->Font();
    const std::int32_t size = font.Size();
    font.SetPixelsPerInch(dotsPerInchY_);
    font.SetSize(size);
    savedFont_ = std::make_unique<TFont>();
    CopyFont(font, *savedFont_);
    SetFontSize(font.Size());
}

void TDOzadi::NewPage() {
    if (PrintersInstalled() == 0 || !inDocument_) {
        return;
    }
    Printer().NewPage();
    SetupPrinter();
    SetFontSize(currentFontSize_);
}

void TDOzadi::EndDoc() {
    if (!GetPrinterAvailable()) {
        return;
    }
    Printer().EndDoc();
    ClosePrinting();
}

void TDOzadi::Abort() {
    if (!GetPrinterAvailable()) {
        return;
    }
    Printer().Abort();
    ClosePrinting();
}

void TDOzadi::ClosePrinting() {
    if (GetPrinterAvailable() && savedFont_) {
        CopyFont(*savedFont_, canvas_->Font());
        savedFont_.reset();
    }
    inDocument_ = false;
}

void TDOzadi::SetFontSize(std::int32_t points) {
    if (!GetPrinterAvailable()) {
        return;
    }
    currentFontSize_ = points;
    TFont& font = canvas_->Font();
    std::int32_t size = Magnitude(points);
    if (scaling_ != TScaling::pscDot && inDocument_) {
        // In logical units the font is as high as `points` points.
        size = MulDivTruncated(size, unitsPerInch_, font.PixelsPerInch());
    }
    font.SetSize(size);
}

void TDOzadi::SelectFont(const TFont& font) {
    if (!GetPrinterAvailable()) {
        return;
    }
    TFont& target = canvas_->Font();
    target.SetHeight(-Magnitude(font.Height()));
    target.SetName(font.Name());
    target.SetPitch(font.Pitch());
    target.SetStyle(font.Style());
    SetFontSize(font.Size());
}

std::int32_t TDOzadi::DotValX(std::int32_t value) const {
    return Convert(value, dotsPerInchX_, unitsPerInch_);
}

std::int32_t TDOzadi::DotValY(std::int32_t value) const {
    return Convert(value, dotsPerInchY_, unitsPerInch_);
}

std::int32_t TDOzadi::ScaleValX(std::int32_t dots) const {
    return Convert(dots, unitsPerInch_, dotsPerInchX_);
}

std::int32_t TDOzadi::ScaleValY(std::int32_t dots) const {
    return Convert(dots, unitsPerInch_, dotsPerInchY_);
}

std::int32_t TDOzadi::Convert(std::int32_t value, std::int32_t multiplier,
                              std::int32_t divisor) const {
    // Device dots are never converted, whatever the resolution.
    return scaling_ == TScaling::pscDot ? value : MulDivTruncated(value, multiplier, divisor);
}

TRect TDOzadi::XBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height) const {
    return TRect{left, top, Add32(left, width), Add32(top, height)};
}

std::int32_t TDOzadi::GetMinMarginLeft() const {
    return ScaleValX(physicalOffsetX_);
}

std::int32_t TDOzadi::GetMinMarginTop() const {
    return ScaleValY(physicalOffsetY_);
}

std::int32_t TDOzadi::GetMinMarginRight() const {
    return ScaleValX(physicalWidth_ - printableWidth_ - physicalOffsetX_);
}

std::int32_t TDOzadi::GetMinMarginBottom() const {
    return ScaleValY(physicalHeight_ - printableHeight_ - physicalOffsetY_);
}

TDOzadierCapabilities TDOzadi::GetPrinterCapabilities() const {
    TDOzadierCapabilities capabilities;
    if (!GetPrinterAvailable()) {
        return capabilities;
    }
    const toolkit::TPrinterCapabilities printer = Printer().Capabilities();
    if ((printer & toolkit::pcCopies) != 0) {
        capabilities.Include(TDOzadierCapability::xpcCopies);
    }
    if ((printer & toolkit::pcOrientation) != 0) {
        capabilities.Include(TDOzadierCapability::xpcOrientation);
    }
    if ((printer & toolkit::pcCollation) != 0) {
        capabilities.Include(TDOzadierCapability::xpcCollation);
    }
    return capabilities;
}

int TDOzadi::GetCopies() const {
    return GetPrinterAvailable() ? Printer().Copies() : 1;
}

void TDOzadi::SetCopies(int copies) {
    if (GetPrinterAvailable()) {
        Printer().SetCopies(copies);
    }
}

std::string TDOzadi::GetTitle() const {
    return GetPrinterAvailable() ? Printer().Title() : std::string();
}

void TDOzadi::SetTitle(const std::string& title) {
    if (GetPrinterAvailable()) {
        Printer().SetTitle(title);
    }
}

TDOzadierOrientation TDOzadi::GetOrientation() const {
    if (!GetPrinterAvailable()) {
        return TDOzadierOrientation::xpoPortrait;
    }
    return static_cast<TDOzadierOrientation>(Printer().Orientation());
}

void TDOzadi::SetOrientation(TDOzadierOrientation orientation) {
    if (GetPrinterAvailable()) {
        Printer().SetOrientation(static_cast<toolkit::TPrinterOrientation>(orientation));
    }
}

int TDOzadi::GetCurrentPrinter() const {
    return GetPrinterAvailable() ? Printer().PrinterIndex() : 0;
}

void TDOzadi::SetCurrentPrinter(int index) {
    if (!GetPrinterAvailable()) {
        return;
    }
    Printer().SetPrinterIndex(index);
    DriverParams();
}

const std::vector<std::string>* TDOzadi::GetPrinters() const {
    return GetPrinterAvailable() ? &Printer().Printers() : nullptr;
}

const std::vector<std::string>* TDOzadi::GetFonts() const {
    return GetPrinterAvailable() ? &Printer().Fonts() : nullptr;
}

toolkit::TPrinterDevice* TDOzadi::GetHandle() const {
    return GetPrinterAvailable() ? Printer().Handle() : nullptr;
}

int TDOzadi::GetPageNumber() const {
    return GetPrinterAvailable() ? Printer().PageNumber() : 1;
}

std::string TDOzadi::asVersion() const {
    return platform::FormatText("%d.%2.2d.%3.3d", 1, 8, 50);
}

std::string TDOzadi::asVersionDate() const {
    return "15.06.2007";
}

std::string TDOzadi::asVersionName() const {
    return "DOzadi";
}

std::string TDOzadi::asVersionString() const {
    return IdentityLine(asVersionName(), asVersion(), asVersionDate());
}

std::string TDOzadi::EVI(std::vector<std::string>* list, int level) const {
    if (list != nullptr) {
        list->push_back(LevelPrefix(level) + asVersionString());
    }
    return {};
}

AxisDevice TDOzadi::DeviceX() const {
    return AxisDevice{dotsPerInchX_, physicalWidth_, physicalOffsetX_};
}

AxisDevice TDOzadi::DeviceY() const {
    return AxisDevice{dotsPerInchY_, physicalHeight_, physicalOffsetY_};
}

} // namespace tessaldrin::versioninfo
