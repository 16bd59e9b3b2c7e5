#include "toolkit/application.h"

#include <QFont>
#include <QLibraryInfo>
#include <QMessageBox>

#include <cstdio>
#include <exception>

namespace tessaldrin::toolkit {
namespace {

TApplication* theApplication = nullptr;

// The program's windows name the Windows system font; Liberation Sans has the
// metrics of the Arial family it belongs with, so the layouts keep their fit.
void SubstituteWindowsFonts() {
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    theApplication = this;
    SubstituteWindowsFonts();
    // Without the translations (a machine without Qt's German package) the
    // toolkit's own buttons stay English; nothing else depends on them.
    germanQtTexts_ =
        qtTranslator_.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (germanQtTexts_) {
        installTranslator(&qtTranslator_);
    }
}

TApplication::~TApplication() {
    removeTranslator(&qtTranslator_);
    theApplication = nullptr;
}

void TApplication::ShowException(const QString& message) {
    QMessageBox box(QMessageBox::Critical, Title(), message, QMessageBox::Ok);
    // The message is shown as it is, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TApplication::HandleException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            ShowException(QString::fromUtf8(error.what()));
        } catch (...) {
            ShowException(QString());
        }
    } catch (...) {
        // The display itself failed (out of memory): the last place left to say so.
        std::fputs("Tessaldrin-Mover: an error could not be shown\n", stderr);
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException();
        return false;
    }
}

TApplication& Application() {
    if (theApplication == nullptr) {
        qFatal("Tessaldrin-Mover: no application object");
    }
    return *theApplication;
}

} // namespace tessaldrin::toolkit
