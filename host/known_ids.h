// Class identifiers the host asks the module for, and their text form.
#pragma once

#include <QString>

#include "cadencehost/vel_id.h"

namespace cadence::host {

// {A29D47F5-FC31-456F-8F72-10D767236FEF}: the timer service.
inline VelID timerServiceClassId() {
  return VelID(0xA29D47F5, 0xFC31, 0x456F, 0x8F, 0x72, 0x10, 0xD7, 0x67, 0x23, 0x6F, 0xEF);
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
inline QString idText(const VelID& id) {
  return QString::asprintf("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1, id.Data2, id.Data3,
                           id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5],
                           id.Data4[6], id.Data4[7]);
}

}  // namespace cadence::host
