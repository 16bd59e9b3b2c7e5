// What the window and printing tests share: the application object, and a
// way to act on a modal window while its exec() runs.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo::test {

// Polls for modal widgets until `action` answers true for one (it then stops)
// or `timeoutMs` passes. Returns a flag that tells whether it did.
std::shared_ptr<bool> OnModal(std::function<bool(QWidget&)> action, int timeoutMs = 20'000);

// `OnModal` for the first modal widget of type W.
template <typename W>
std::shared_ptr<bool> OnModalOf(std::function<void(W&)> action, int timeoutMs = 20'000) {
    return OnModal(
        [action](QWidget& widget) {
            auto* typed = dynamic_cast<W*>(&widget);
            if (typed == nullptr) {
                return false;
            }
            action(*typed);
            return true;
        },
        timeoutMs);
}

// Runs `program` with `arguments`; its standard output, or nothing when it
// could not run or failed.
std::optional<QString> RunTool(const QString& program, const QStringList& arguments);

// The file's bytes, or an empty array when it cannot be read.
QByteArray ReadFile(const QString& path);

// The program's 8-bit texts (the locale's encoding) as Qt's.
QString Q(const std::string& text);
QStringList Q(const std::vector<std::string>& texts);

} // namespace tessaldrin::versioninfo::test

// A Qt Test main that makes the program's application object.
#define TM_QT_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char** argv) {                                                              \
        tessaldrin::toolkit::TApplication app(argc, argv);                                         \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
