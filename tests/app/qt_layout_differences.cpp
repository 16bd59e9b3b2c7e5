#include "tests/app/qt_layout_differences.h"

#include "tests/support/layout_check.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>

#include <algorithm>
#include <vector>

namespace tessaldrin::test {
namespace {

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

} // namespace tessaldrin::test
