// The one place that knows which Qt (4.8, 5.15 or 6) the code is built
// against. Everything else uses the forms all three understand, and these
// few names where they differ.
#pragma once

#include <string>

#include <QByteArray>
#include <QMetaMethod>
#include <QMetaObject>
#include <QString>
#include <QTimer>
#include <QtGlobal>

#if QT_VERSION < QT_VERSION_CHECK(5, 0, 0)
#include <QTextCodec>

// Qt 4 names its version's parts in QT_VERSION only.
#define QT_VERSION_MAJOR (QT_VERSION >> 16)
// Qt 4 has no compile-time strings: the same text, made at run time.
#define QStringLiteral(text) QString::fromUtf8(text)
#endif

// (Namespaces one by one: Qt 4's moc reads no nested namespace names.)
namespace cadence {
namespace qt {

// Makes `timer` keep a fixed schedule: expiry k of a timer started at t0 is
// due at t0 + k × interval, never comes early, and lateness does not add up.
// That is how Qt 4 runs every timer; Qt 5 and 6 do it for precise timers only
// (their default type moves expiries by up to 5 % to line wake-ups up).
inline void keepFixedSchedule(QTimer& timer) {
#if QT_VERSION >= QT_VERSION_CHECK(5, 0, 0)
  timer.setTimerType(Qt::PreciseTimer);
#else
  (void)timer;
#endif
}

// A program's first step: text in `const char*` (literals, std::string),
// file names and process arguments are UTF-8 wherever Qt converts them, as on
// Qt 6 (Qt 4 takes C strings for Latin-1, and the rest in the encoding of a
// locale it may not have been told of yet).
inline void useUtf8Text() {
#if QT_VERSION < QT_VERSION_CHECK(5, 0, 0)
  QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
  QTextCodec::setCodecForCStrings(utf8);
  QTextCodec::setCodecForLocale(utf8);
#endif
}

// UTF-16 code units as a QString.
inline QString fromUtf16(const char16_t* units, int size) {
#if QT_VERSION >= QT_VERSION_CHECK(5, 10, 0)
  return QString::fromUtf16(units, size);  // Qt 6 deprecates the ushort form
#else
  return QString::fromUtf16(reinterpret_cast<const ushort*>(units), size);
#endif
}
inline QString fromUtf16(const std::u16string& units) {
  return fromUtf16(units.data(), static_cast<int>(units.size()));
}

// A method's name and parameter types, "name(type,type)".
inline QByteArray signatureOf(const QMetaMethod& method) {
#if QT_VERSION >= QT_VERSION_CHECK(5, 0, 0)
  return method.methodSignature();
#else
  return QByteArray(method.signature());
#endif
}

}  // namespace qt
}  // namespace cadence
