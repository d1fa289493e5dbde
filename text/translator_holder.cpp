// The process-wide translator: asks the host for its translator service (for
// this module's component) or its translator, else holds a pass-through one.
#include "text/translator_holder.h"

#include "base/process_wide.h"
#include "cadencehost/vel_services.h"
#include "core/module_identity.h"
#include "text/vel_trivial_translator.h"

IVelTranslator* VelTranslatorHolder::get() {
  // One consultation per call while the host has not answered.
  if (!held_ || !serviceConsulted_) consultHost();
  if (!held_) held_.assign(new VelTrivialTranslator);
  return held_.get();
}

void VelTranslatorHolder::consultHost() {
  SPtr<IVelTranslatorService, IVelUnknown> service;
  if (!service) return;
  IVelTranslator* offered = service->getTranslatorFor(velModuleIdentity().componentId);
  if (offered != held_.get()) held_.assign(offered);
  if (!held_) {
    SPtr<IVelTranslator, IVelUnknown> direct;
    held_.assign(direct.get());
  }
  serviceConsulted_ = true;
}

IVelTranslator* getTranslator() {
  return cadence::builtOnFirstUse<[] { return VelTranslatorHolder(); }>().get();
}
