// The root destructor. Reference counting itself is defined inline in the
// header: local, or through the host's hooks once a host is installed
// (decided afresh at every call).
#include "cadencehost/vel_object.h"

VelObject::~VelObject() = default;
