// IVelTranslator: user-visible texts pass through it. The slot order is part
// of the contract with translators supplied by the host (through
// IVelTranslatorService::getTranslatorFor or as the service
// "IVelTranslator"); the module keeps a reference on the one it uses until
// exit. Without one it uses its own pass-through translator
// ("VelTrivialTranslator"): the key itself, with the arguments put in.
//
// Every translate takes the English text as its key (8-bit, NUL-terminated,
// valid during the call) and returns a new VelString the caller owns; '%1'
// to '%9' in the text stand for the arguments, in order. The module itself
// calls translate(key) alone, for the out-of-memory notice.
#pragma once

#include <cstdint>

#include "cadencehost/vel_object.h"
#include "cadencehost/vel_string.h"

class IVelTranslator : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelTranslator";
  // `count` arguments at `args` (an array of VelString); '%n' takes args[n-1].
  // A count below 1 gives the translated key alone.
  virtual VelString translate(const char* key, int32_t count, const VelString* args) = 0;
  // Six to one arguments, '%1' the first (the pass-through translator
  // leaves a placeholder beyond them empty).
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3,
                              const VelString& a4, const VelString& a5, const VelString& a6) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3,
                              const VelString& a4, const VelString& a5) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3,
                              const VelString& a4) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3) = 0;
  virtual VelString translate(const char* key, const VelString& a1, const VelString& a2) = 0;
  virtual VelString translate(const char* key, const VelString& a1) = 0;
  // The translation of `key`.
  virtual VelString translate(const char* key) = 0;
  // Whether texts are really translated (the pass-through translator: false).
  // The module never asks.
  virtual bool isTranslating() = 0;
};
