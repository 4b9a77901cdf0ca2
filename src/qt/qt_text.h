// Conversions between the program's 8-bit texts and Qt strings.
//
// The core keeps texts as bytes: captions and messages are plain ASCII,
// names read from data files are in the single-byte Windows character set,
// and a few literals may be UTF-8. Program text is shown as UTF-8 when it is
// valid UTF-8 and as Latin-1 otherwise; text typed by the user goes back as
// Latin-1 whenever every character fits, so that a typed "µ" is the byte B5
// the number parser knows, and as UTF-8 only when it does not fit.
#pragma once

#include <QString>
#include <string>

namespace kelvaris::qt {

QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

// File names are in the file system's own encoding (UTF-8 on Linux).
QString PathToQString(const std::string& path);
std::string PathFromQString(const QString& path);

}  // namespace kelvaris::qt
