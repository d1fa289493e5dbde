// Decoding the program's arguments and showing them in messages.
#include "host/argument_text.h"

#include <cstring>

#include "host/utf8_text.h"
#include "qt/qt_versions.h"

#ifdef _WIN32
#include "platform/windows/windows_api.h"

#include <shellapi.h>
#endif

namespace cadence::host {
namespace {

QString hexEscape(const char* prefix, unsigned value, int digits) {
  return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString decodeArgument(const char* bytes) {
  QString text;
  if (!bytes) return text;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes);
  const size_t size = std::strlen(bytes);
  text.reserve(static_cast<int>(size));
  for (size_t at = 0; at < size;) {
    const int length = utf8SequenceLength(data + at, size - at);
    if (length == 0) {
      text.append(QChar(static_cast<char16_t>(0xDC00 + data[at])));
      ++at;
      continue;
    }
    const char32_t value = decodeUtf8Sequence(data + at, length);
    if (QChar::requiresSurrogates(value)) {
      text.append(QChar(QChar::highSurrogate(value)));
      text.append(QChar(QChar::lowSurrogate(value)));
    } else {
      text.append(QChar(static_cast<char16_t>(value)));
    }
    at += static_cast<size_t>(length);
  }
  return text;
}

QStringList decodeArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << decodeArgument(argv[i]);
  return arguments;
}

QStringList programArguments(int argc, char** argv) {
#ifdef _WIN32
  // Split as Qt 5 and 6 split it (Qt 4's own split also breaks at line
  // feeds inside an argument).
  (void)argc, (void)argv;
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  QStringList arguments;
  for (int i = 0; words && i < count; ++i) arguments << QString::fromWCharArray(words[i]);
  LocalFree(words);
  return arguments;
#else
  return decodeArguments(argc, argv);
#endif
}

bool isControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

int keptByte(QChar c) {
  const char16_t unit = c.unicode();
  return unit >= 0xDC80 && unit <= 0xDCFF ? unit - 0xDC00 : -1;
}

QString printableArgument(const QString& text) {
  QString shown;
  int characters = 0;
  for (int i = 0; i < text.size(); ++i, ++characters) {
    if (characters == kShownCharacters) return shown + QStringLiteral("...");
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      shown.append(c).append(text[++i]);
    } else if (c == '\t') {
      shown.append(QStringLiteral("\\t"));
    } else if (c == '\n') {
      shown.append(QStringLiteral("\\n"));
    } else if (c == '\r') {
      shown.append(QStringLiteral("\\r"));
    } else if (isControlCharacter(c.unicode())) {
      shown.append(c.unicode() < 0x80 ? hexEscape("\\x", c.unicode(), 2) : hexEscape("\\u", c.unicode(), 4));
    } else if (keptByte(c) >= 0) {
      shown.append(hexEscape("\\x", static_cast<unsigned>(keptByte(c)), 2));
    } else if (c.isHighSurrogate() || c.isLowSurrogate()) {
      shown.append(hexEscape("\\u", c.unicode(), 4));
    } else {
      shown.append(c);
    }
  }
  return shown;
}

}  // namespace cadence::host
