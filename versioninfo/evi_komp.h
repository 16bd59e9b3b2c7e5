// TEVI: the version information collector. It collects the report of the
// running program (its file, version, date and directory, and the reusable
// components built in, each with its identity) and sends it to the screen,
// to a file next to the program or to the printer. Toolkit-free: the window
// that shows the report is the toolkit's, given at construction.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {

class TDOzadi;
class TEVI;

enum class TExVersionInfoTyp : std::uint8_t { eviScreen = 0, eviFile = 1, eviPrinter = 2 };

// Called after the standard lines are collected, with the collector and the
// list; the lines that it appends follow the component lines.
using TDatenSammelnEvent = std::function<void(TEVI* Sender, std::vector<std::string>& slInfo)>;

// Shows the collector's report in the toolkit's version window (TfmEVI),
// modally: ShowVersionWindow of versioninfo/f_evi.h (Qt) or of
// versioninfo/windows/f_evi.h (Win32).
using TVersionWindow = std::function<void(TEVI& collector)>;

class TEVI {
public:
    // Takes the paths from the running program file and makes the printer
    // wrapper, which selects the system default printer.
    explicit TEVI(TVersionWindow window);
    virtual ~TEVI();
    TEVI(const TEVI&) = delete;
    TEVI& operator=(const TEVI&) = delete;

    // The application's version and date, reported as set; empty by default.
    std::string asModuleVersion;
    std::string asModuleVersionDate;
    TDatenSammelnEvent OnDatenSammeln;

    // The identity: reads give the component's own constants, writes are
    // accepted and ignored. A derived class gives itself another identity by
    // overriding the reads; the identity line is built through them.
    virtual std::string GetasVersion() const;
    virtual std::string GetasVersionDate() const;
    virtual std::string GetasVersionName() const;
    virtual std::string GetasVersionString() const;
    virtual void SetasVersion(const std::string& value);
    virtual void SetasVersionDate(const std::string& value);
    virtual void SetasVersionName(const std::string& value);
    virtual void SetasVersionString(const std::string& value);

    // Appends the standard lines to the info list.
    void Header();
    // Appends this collector's identity line (when a list is given) and its
    // components' lines one level deeper.
    void EVI(std::vector<std::string>* list, int level);
    // Collects the whole report anew.
    void DatenSammeln();
    // Collects, then delivers to `kind`; an unknown kind shows the window.
    void Info(TExVersionInfoTyp kind);

    // Deliver the info list as it stands.
    void VersionInfoScreen();
    void VersionInfoFile();
    void VersionInfoPrinter();

    const std::vector<std::string>& InfoList() const { return info_; }
    TDOzadi& PrinterWrapper() { return *printer_; }
    // The paths as the file system holds their bytes.
    const std::string& ModuleDirectory() const { return moduleDirectory_; }
    const std::string& ModuleFileName() const { return moduleFileName_; }
    const std::string& ReportPath() const { return reportPath_; }

private:
    std::vector<std::string> info_;
    std::unique_ptr<TDOzadi> printer_;
    std::string moduleDirectory_;
    std::string moduleFileName_;
    std::string reportPath_;
    TVersionWindow window_;
};

} // namespace tessaldrin::versioninfo
