// A UTF-16 text owned by a host service together with the VelString that
// borrows it. Services hand the VelString out by reference, so it has to
// live as long as the service; the module copies it before keeping it.
#pragma once

#include <string>

#include <QString>

#include "cadencehost/vel_string.h"

namespace cadence::host {

class StoredText {
 public:
  StoredText() { set(QString()); }  // an empty text, never a null one
  explicit StoredText(const QString& text) { set(text); }
  StoredText(const StoredText&) = delete;
  StoredText& operator=(const StoredText&) = delete;

  // A text holding a NUL is stored empty: handed out, it would be cut where
  // the NUL stands (".../ab\0/../etc" read as ".../ab"), so it counts as not
  // set at all.
  void set(const QString& text) {
    if (text.contains(QChar(0))) {
      units_.clear();
    } else {
      units_.assign(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
    }
    value_ = VelString::borrowing(units_.c_str());
  }
  const VelString& value() const { return value_; }
  const std::u16string& units() const { return units_; }

 private:
  std::u16string units_;
  VelString value_;  // borrows units_; never owns a block
};

// UTF-8 text of a VelString's content (null text reads as empty).
std::string utf8Of(const VelString& text);

}  // namespace cadence::host
