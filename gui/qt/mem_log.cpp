#include "gui/qt/mem_log.h"

#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>

namespace tessaldrin {
namespace {

// The entry's text with every line feed form turned into a line break that
// stays inside the paragraph: a plain "\n" would start a new paragraph.
QString ShownText(const std::string& entry) {
    QString text = QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return text;
}

} // namespace

void MemLog::append(const std::string& entry) {
    if (QThread::currentThread() != control_.thread()) {
        QMetaObject::invokeMethod(
            &control_, [this, &entry] { AppendHere(entry); }, Qt::BlockingQueuedConnection);
        return;
    }
    AppendHere(entry);
}

void MemLog::AppendHere(const std::string& entry) {
    QTextDocument* document = control_.document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // An empty document holds one empty paragraph: the first entry goes into
    // it. Testing emptiness alone would merge a leading empty entry with the
    // one after it.
    if (written_ || !document->isEmpty()) {
        cursor.insertBlock();
    }
    cursor.insertText(ShownText(entry));
    written_ = true;
    control_.setTextCursor(cursor);
    control_.ensureCursorVisible();
}

void MemLog::Clear() {
    control_.clear();
    written_ = false;
}

std::vector<std::string> MemLog::Entries() const {
    const QTextDocument* document = control_.document();
    std::vector<std::string> entries;
    if (!written_ && document->isEmpty()) {
        return entries;
    }
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString text = block.text();
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        entries.push_back(text.toStdString());
    }
    return entries;
}

} // namespace tessaldrin
