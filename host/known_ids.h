// The text form of class identifiers.
#pragma once

#include <cstdio>

#include <QString>

#include "cadencehost/vel_id.h"

namespace cadence::host {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
inline QString idText(const VelID& id) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1, id.Data2, id.Data3,
                id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
  return QString::fromLatin1(text);
}

}  // namespace cadence::host
