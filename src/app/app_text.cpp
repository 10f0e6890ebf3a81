#include "app/app_text.h"

#include "text/cp936.h"

namespace brindlecast {

QString from_cp936(std::string_view cp936_text) {
    const std::string utf8 = cp936_to_utf8(cp936_text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string to_cp936(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8_to_cp936(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString caption_with_line_breaks(std::string_view utf8_caption) {
    QString caption =
        QString::fromUtf8(utf8_caption.data(), static_cast<qsizetype>(utf8_caption.size()));
    // Qt breaks lines at LF alone; a CR left in would be drawn as a stray glyph.
    caption.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return caption;
}

}  // namespace brindlecast
