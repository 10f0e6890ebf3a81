#include "app/log_box_sink.h"

#include <string>

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace brindlecast {

LogBoxSink::LogBoxSink(QPlainTextEdit& box) : box_(box) {}

void LogBoxSink::write_line(std::string_view line) {
    const std::string utf8 = codec_.to_utf8(line);
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    // The document keeps lines as blocks split at LF; a CR kept before it
    // would show as a stray glyph at the end of every line.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QTextDocument* document = box_.document();
    // Switching undo off drops the undo history, so neither this line nor
    // what was typed before it can be undone into the middle of the log.
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    document->setUndoRedoEnabled(true);

    box_.setTextCursor(cursor);
    box_.ensureCursorVisible();
}

}  // namespace brindlecast
