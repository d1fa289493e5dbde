// The process-wide translator that framework code passes user-visible texts
// through: the host's, or the pass-through one.
#pragma once

#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_translator.h"

// The translator to use: the host's when it supplies one (through
// "IVelTranslatorService" for this component, or "IVelTranslator"), else a
// pass-through one. While the host has no translator service it is asked
// again on every call.
class VelTranslatorHolder {
 public:
  // Never null; the caller takes no reference and uses it at once.
  IVelTranslator* get();
  // True once the host was found to offer a translator service.
  bool serviceConsulted() const { return serviceConsulted_; }

 private:
  void consultHost();

  IPtr<IVelTranslator, IVelUnknown> held_;
  bool serviceConsulted_ = false;
};

// The process-wide translator (see VelTranslatorHolder).
IVelTranslator* getTranslator();
