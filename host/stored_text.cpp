// Conversions between the host's Qt text and the framework's VelString.
#include "host/stored_text.h"

#include "qt/qt_versions.h"

namespace cadence::host {

std::string utf8Of(const VelString& text) {
  if (!text.text) return {};
  int length = 0;
  while (text.text[length] != u'\0') ++length;
  const QByteArray bytes = qt::fromUtf16(text.text, length).toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace cadence::host
