// Everything a host compiles against, in one include. Each header below also
// stands alone.
//
//   object model      vel_object.h (IVelUnknown), vel_query.h (query records)
//   host              vel_host.h (IVelHost, g_host), vel_services.h (the services a host offers)
//   identifiers       vel_id.h (VelID), module_ids.h (this module's component and class ids)
//   module            entry_point.h (EntryPoint, the version), vel_interfaces.h (component, binary)
//   text and arrays   vel_cstring.h, vel_string.h, vel_array.h, vel_translator.h
//   memory            bucket_memory_pool.h (the pool class a host's own pool is)
//   timers            timer_interfaces.h (Velmora::ITimerService, ITimer, ITimerListener)
//   holders           vel_ptr.h (IPtr, SPtr)
//   this build        version.h (SDK version, the Qt major version the module was built with)
//
// A module built on the runtime includes cadencehost/module.h instead: this
// header, item_factory.h (making classes creatable) and module_identity.h.
#pragma once

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/entry_point.h"
#include "cadencehost/module_ids.h"
#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_array.h"
#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_host.h"
#include "cadencehost/vel_id.h"
#include "cadencehost/vel_interfaces.h"
#include "cadencehost/vel_object.h"
#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_query.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "cadencehost/vel_translator.h"
#include "cadencehost/version.h"
