// Conversions between the host's Qt text and the framework's VelString.
#include "host/stored_text.h"

namespace cadence::host {

std::string utf8Of(const VelString& text) {
  if (!text.text) return {};
  qsizetype length = 0;
  while (text.text[length] != u'\0') ++length;
  const QByteArray bytes = QString::fromUtf16(text.text, static_cast<int>(length)).toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace cadence::host
