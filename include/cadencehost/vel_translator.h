// IVelTranslator: user-visible texts pass through it. The slot order is part
// of the contract with translators supplied by the host.
#pragma once

#include <cstdint>

#include "cadencehost/vel_object.h"
#include "cadencehost/vel_string.h"

class IVelTranslator : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelTranslator";
  virtual VelString translate(const char* key, int32_t count, const VelString* args) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2,
                              const VelString& a3, const VelString& a4, const VelString& a5,
                              const VelString& a6) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2,
                              const VelString& a3, const VelString& a4, const VelString& a5) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2,
                              const VelString& a3, const VelString& a4) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2,
                              const VelString& a3) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2) = 0;
  virtual VelString translate(const char* key, const VelString& a1) = 0;
  virtual VelString translate(const char* key) = 0;
  virtual bool isTranslating() = 0;
};
