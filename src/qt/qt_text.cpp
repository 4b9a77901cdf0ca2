#include "qt/qt_text.h"

#include <QFile>
#include <QStringDecoder>

namespace kelvaris::qt {

namespace {

bool IsAscii(const std::string& text) {
  for (unsigned char ch : text)
    if (ch >= 0x80) return false;
  return true;
}

}  // namespace

QString ToQString(const std::string& text) {
  if (IsAscii(text)) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!decoder.hasError()) return decoded;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQString(const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() > 0xff) {
      QByteArray utf8 = text.toUtf8();
      return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
  }
  QByteArray latin1 = text.toLatin1();
  return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

QString PathToQString(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQString(const QString& path) {
  QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace kelvaris::qt
