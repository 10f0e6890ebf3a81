#pragma once
// Program texts (code page 936) at the edge to Qt (UTF-16).

#include <string>
#include <string_view>

#include <QString>

namespace brindlecast {

/// A program text as a QString.
QString from_cp936(std::string_view cp936_text);
/// A QString as a program text; characters outside code page 936 become "?".
std::string to_cp936(const QString& text);

/// A caption written with CR LF line breaks, as Qt shows it (one line per CR LF).
QString caption_with_line_breaks(std::string_view utf8_caption);

}  // namespace brindlecast
