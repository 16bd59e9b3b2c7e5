// Helpers of the window tests: the program's application object, answering a
// modal window from the event loop, and rendering a window to a PNG file.
#pragma once

#include "toolkit/application.h"

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

#include <functional>

namespace tessaldrin::test {

// Runs `act` once from the event loop as soon as `ready` holds (polled every
// few milliseconds). When it does not hold within 10 s the test fails and
// every window is closed, so that a modal loop under test cannot hang it.
void WhenReady(std::function<bool()> ready, std::function<void()> act);

// The modal window on top, when it is a T.
template <typename T> T* ActiveModal() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

// Runs `act` on the modal T as soon as one is shown.
template <typename T> void WhenModal(std::function<void(T&)> act) {
    WhenReady([] { return ActiveModal<T>() != nullptr; }, [act] { act(*ActiveModal<T>()); });
}

// Renders `window` to <build folder>/renders/<name>.png; true on success.
bool SaveRender(QWidget& window, const QString& name);

} // namespace tessaldrin::test

// A test program's entry: the program's own application object, then the
// test functions of `TestClass`.
#define TM_QT_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char** argv) {                                                              \
        tessaldrin::toolkit::TApplication application(argc, argv);                                 \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
