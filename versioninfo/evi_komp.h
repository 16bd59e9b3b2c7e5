// TEVI: the version information collector. It collects the report of the
// running program (its file, version, date and directory, and the reusable
// components built in, each with its identity) and sends it to the screen,
// to a file next to the program or to the printer.
#pragma once

#include <string>

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace tessaldrin::versioninfo {

class TDOzadi;

enum class TExVersionInfoTyp : std::uint8_t { eviScreen = 0, eviFile = 1, eviPrinter = 2 };

// Called after the standard lines are collected, with the collector and the
// list; the lines that it appends follow the component lines.
using TDatenSammelnEvent = std::function<void(QObject* Sender, QStringList& slInfo)>;

class TEVI : public QObject {
public:
    // Takes the paths from the running program file and makes the printer
    // wrapper, which selects the system default printer.
    explicit TEVI(QObject* owner);
    ~TEVI() override;

    // The application's version and date, reported as set; empty by default.
    QString asModuleVersion;
    QString asModuleVersionDate;
    TDatenSammelnEvent OnDatenSammeln;

    // The identity: reads give the component's own constants, writes are
    // accepted and ignored. A derived class gives itself another identity by
    // overriding the reads; the identity line is built through them.
    virtual QString GetasVersion() const;
    virtual QString GetasVersionDate() const;
    virtual QString GetasVersionName() const;
    virtual QString GetasVersionString() const;
    virtual void SetasVersion(const QString& value);
    virtual void SetasVersionDate(const QString& value);
    virtual void SetasVersionName(const QString& value);
    virtual void SetasVersionString(const QString& value);

    // Appends the standard lines to the info list.
    void Header();
    // Appends this collector's identity line (when a list is given) and its
    // components' lines one level deeper.
    void EVI(QStringList* list, int level);
    // Collects the whole report anew.
    void DatenSammeln();
    // Collects, then delivers to `kind`; an unknown kind shows the window.
    void Info(TExVersionInfoTyp kind);

    // Deliver the info list as it stands.
    void VersionInfoScreen();
    void VersionInfoFile();
    void VersionInfoPrinter();

    const QStringList& InfoList() const { return info_; }
    TDOzadi& PrinterWrapper() { return *printer_; }
    QString ModuleDirectory() const { return moduleDirectory_; }
    QString ModuleFileName() const { return moduleFileName_; }
    QString ReportPath() const { return reportPath_; }

private:
    QStringList info_;
    TDOzadi* printer_ = nullptr;
    QString moduleDirectory_;
    QString moduleFileName_;
    QString reportPath_;
    // The same path as the bytes the file system holds, which the file is
    // written under; a directory name that is no text of the locale survives.
    std::string reportFile_;
};

} // namespace tessaldrin::versioninfo
