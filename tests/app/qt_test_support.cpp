#include "qt_test_support.h"

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

QString FontText(const QFont& font) {
    const QFontInfo shown(font);
    return QStringLiteral("%1 %2px%3")
        .arg(font.family())
        .arg(shown.pixelSize())
        .arg(shown.bold() ? QStringLiteral(" bold") : QString());
}

QString FontText(const toolkit::LayoutFont& font) {
    return QStringLiteral("%1 %2px%3")
        .arg(QString::fromUtf8(font.face))
        .arg(font.pixels)
        .arg(font.bold ? QStringLiteral(" bold") : QString());
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

// Adds "what: shown, not wanted" when the two differ.
template <typename T>
void Compare(QStringList& differences, const QString& what, const T& shown, const T& wanted) {
    if (shown != wanted) {
        QString line = what + QStringLiteral(": ");
        QDebug(&line).nospace() << shown << ", not " << wanted;
        differences << line;
    }
}

} // namespace

QStringList LayoutDifferences(const QWidget& window, const toolkit::WindowLayout& layout) {
    QStringList differences;
    Compare(differences, QStringLiteral("window"), window.objectName(),
            QString::fromUtf8(layout.name));
    Compare(differences, QStringLiteral("caption"), window.windowTitle(),
            QString::fromUtf8(layout.caption));
    Compare(differences, QStringLiteral("client area"), window.size(),
            QSize(layout.clientWidth, layout.clientHeight));
    Compare(differences, QStringLiteral("window font"), FontText(window.font()),
            FontText(layout.font));
    std::vector<const QWidget*> tabStops(layout.controls.size(), nullptr);
    for (const toolkit::LayoutControl& wanted : layout.controls) {
        const QString name = QString::fromUtf8(wanted.name);
        const auto* control = window.findChild<const QWidget*>(name);
        if (control == nullptr) {
            differences << name + QStringLiteral(": missing");
            continue;
        }
        const QString parent =
            QString::fromUtf8(wanted.parent != nullptr ? wanted.parent : layout.name);
        Compare(differences, name + QStringLiteral(" in"), control->parentWidget()->objectName(),
                parent);
        Compare(differences, name + QStringLiteral(" bounds"), control->geometry(),
                QRect(wanted.bounds.left, wanted.bounds.top, wanted.bounds.width,
                      wanted.bounds.height));
        if (wanted.text != nullptr) {
            Compare(differences, name + QStringLiteral(" caption"), Caption(*control),
                    QString::fromUtf8(wanted.text));
        }
        Compare(differences, name + QStringLiteral(" font"), FontText(control->font()),
                FontText(wanted.font));
        Compare(differences, name + QStringLiteral(" enabled"), control->isEnabled(),
                wanted.enabled);
        if (wanted.tabOrder >= 0) {
            tabStops[static_cast<std::size_t>(wanted.tabOrder)] = control;
        }
        // Whatever the layout leaves out takes no focus from Tab.
        if (wanted.tabOrder < 0 && (control->focusPolicy() & Qt::TabFocus) != 0) {
            differences << name + QStringLiteral(": a tab stop");
        }
    }
    // Tab goes from each stop to the next of the table, and round.
    std::erase(tabStops, nullptr);
    for (std::size_t i = 0; i < tabStops.size(); ++i) {
        const QWidget* next = tabStops[i]->nextInFocusChain();
        while (next != tabStops[i] &&
               std::find(tabStops.begin(), tabStops.end(), next) == tabStops.end()) {
            next = next->nextInFocusChain();
        }
        Compare(differences, tabStops[i]->objectName() + QStringLiteral(" then"),
                next->objectName(), tabStops[(i + 1) % tabStops.size()]->objectName());
    }
    return differences;
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
