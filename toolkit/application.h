// The application object: the program's title, Qt's German texts, and the
// standard exception display that every event handler hands its errors to.
#pragma once

#include <QApplication>
#include <QString>
#include <QTranslator>

#include <utility>

namespace tessaldrin::toolkit {

class TApplication : public QApplication {
    Q_OBJECT

public:
    // Loads Qt's own German translations, so that the toolkit's standard
    // dialogs and buttons speak German like the rest of the program.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The application title: the caption of the standard exception display.
    // Kept apart from Qt's display name, which some platforms would append
    // to the caption of every window.
    void SetTitle(const QString& title) { title_ = title; }
    QString Title() const { return title_; }

    // The standard exception display: a message box with `message`; returns
    // when the user has closed it, and the program goes on.
    void ShowException(const QString& message);

    // Shows the exception being handled; call it only inside a catch block.
    // A std::exception shows its what(), anything else an empty message.
    void HandleException() noexcept;

    // Delivers `event`; an exception that a handler let escape stops here and
    // goes to the standard exception display instead of into Qt's event loop.
    bool notify(QObject* receiver, QEvent* event) override;

    // True when Qt's German translations were found and installed.
    bool HasGermanQtTexts() const { return germanQtTexts_; }

private:
    QString title_;
    QTranslator qtTranslator_;
    bool germanQtTexts_ = false;
};

// The program's application object; it must exist.
TApplication& Application();

// Runs an event handler's body; whatever it throws goes to the standard
// exception display, so that nothing crosses Qt's event loop.
template <typename Handler> void CallHandler(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        Application().HandleException();
    }
}

} // namespace tessaldrin::toolkit
