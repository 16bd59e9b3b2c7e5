#include "qt_test_support.h"

#include "tests/support/layout_check.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace tessaldrin::test {
namespace {

constexpr int kPollMs = 5;
constexpr qint64 kGiveUpMs = 10000;

// The test function and data row now running.
QString CurrentTest() {
    return QString::fromLatin1(QTest::currentTestFunction()) + '/' +
           QString::fromLatin1(QTest::currentDataTag());
}

std::string FontOf(const QWidget& widget) {
    const QFontInfo shown(widget.font());
    return testing::FontText(widget.font().family().toStdString(), shown.pixelSize(), shown.bold());
}

QString Caption(const QWidget& control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&control)) {
        return group->title();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        return edit->text();
    }
    return QStringLiteral("(no caption)");
}

} // namespace

std::string LayoutDifferences(const QWidget& window, const toolkit::WindowLayout& layout) {
    testing::LayoutCheck check;
    check.Compare("window", window.objectName().toStdString(), layout.name);
    check.Compare("caption", window.windowTitle().toStdString(), layout.caption);
    check.Compare("client area", testing::BoundsText(0, 0, window.width(), window.height()),
                  testing::BoundsText(0, 0, layout.clientWidth, layout.clientHeight));
    check.Compare("window font", FontOf(window), testing::FontText(layout.font));
    std::vector<const QWidget*> controls;
    for (const toolkit::LayoutControl& wanted : layout.controls) {
        const std::string name = wanted.name;
        controls.push_back(window.findChild<const QWidget*>(QString::fromUtf8(wanted.name)));
        const QWidget* control = controls.back();
        if (control == nullptr) {
            check.Compare(name, "missing", "there");
            continue;
        }
        check.Compare(name + " in", control->parentWidget()->objectName().toStdString(),
                      wanted.parent != nullptr ? wanted.parent : layout.name);
        const QRect bounds = control->geometry();
        check.Compare(name + " bounds",
                      testing::BoundsText(bounds.x(), bounds.y(), bounds.width(), bounds.height()),
                      testing::BoundsText(wanted.bounds.left, wanted.bounds.top,
                                          wanted.bounds.width, wanted.bounds.height));
        if (wanted.text != nullptr) {
            check.Compare(name + " caption", Caption(*control).toStdString(), wanted.text);
        }
        check.Compare(name + " font", FontOf(*control), testing::FontText(wanted.font));
        check.Compare(name + " enabled", control->isEnabled(), wanted.enabled);
        // Whatever the layout leaves out takes no focus from Tab.
        check.Compare(name + " a tab stop", (control->focusPolicy() & Qt::TabFocus) != 0,
                      wanted.tabOrder >= 0);
    }
    // Tab goes from each stop to the next of the table, and round.
    const std::vector<std::size_t> stops = testing::TabStops(layout);
    for (std::size_t i = 0; i < stops.size() && controls[stops[i]] != nullptr; ++i) {
        const QWidget* next = controls[stops[i]]->nextInFocusChain();
        while (std::none_of(stops.begin(), stops.end(),
                            [&](std::size_t stop) { return controls[stop] == next; })) {
            next = next->nextInFocusChain();
        }
        check.Compare(std::string(layout.controls[stops[i]].name) + " then",
                      next->objectName().toStdString(),
                      layout.controls[stops[(i + 1) % stops.size()]].name);
    }
    return check.Differences();
}

void WhenReady(std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const QString owner = CurrentTest();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, owner, ready, act] {
        if (CurrentTest() != owner) {
            // Left over from a test that has ended: its objects are gone.
            timer->stop();
            timer->deleteLater();
        } else if (ready()) {
            timer->stop();
            timer->deleteLater();
            act();
        } else if (clock->elapsed() > kGiveUpMs) {
            timer->stop();
            timer->deleteLater();
            QTest::qFail("the awaited window state did not come", __FILE__, __LINE__);
            QApplication::closeAllWindows();
        }
    });
    timer->start(kPollMs);
}

bool SaveRender(QWidget& window, const QString& name) {
    const QDir dir(QStringLiteral(TM_RENDER_DIR));
    return dir.mkpath(".") && window.grab().save(dir.filePath(name + ".png"), "PNG");
}

} // namespace tessaldrin::test
