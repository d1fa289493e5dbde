// The timer service's interfaces as hosts and clients see them.
#pragma once

#include "core/vel_object.h"
#include "text/vel_cstring.h"

namespace Velmora {

class ITimerListener : public virtual IVelUnknown {
 public:
  virtual void alert() = 0;
};

class ITimer : public virtual IVelUnknown {
 public:
  virtual void addListener(ITimerListener* listener) = 0;
  virtual bool removeListener(ITimerListener* listener) = 0;
  virtual void start(int intervalMs) = 0;
  virtual void stop() = 0;
  virtual void setInterval(int intervalMs) = 0;
};

class ITimerService : public virtual IVelUnknown {
 public:
  virtual ITimer* createTimer(const VelCString& name) = 0;
  virtual ITimer* getTimer(const VelCString& name) = 0;
};

class ITimerServiceV2 : public virtual ITimerService {
 public:
  virtual bool removeTimer(const VelCString& name) = 0;
  virtual bool hasTimer(const VelCString& name) = 0;
};

}  // namespace Velmora
