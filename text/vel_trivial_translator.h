// The pass-through translator: the key text itself, with the argument texts
// put into its placeholders, and the placeholder replacement of its array form.
#pragma once

#include <cstdint>

#include "cadencehost/vel_string.h"
#include "cadencehost/vel_translator.h"
#include "memory/guarded_new.h"

// Made the guarded way: it may be made while an out-of-memory notice is
// being shown.
class VelTrivialTranslator : public IVelTranslator, public cadence::guard::GuardedNew {
 public:
  VelString translate(const char* key, int32_t count, const VelString* args) override;
  VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3,
                      const VelString& a4, const VelString& a5, const VelString& a6) override;
  VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3,
                      const VelString& a4, const VelString& a5) override;
  VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3,
                      const VelString& a4) override;
  VelString translate(const char* key, const VelString& a1, const VelString& a2, const VelString& a3) override;
  VelString translate(const char* key, const VelString& a1, const VelString& a2) override;
  VelString translate(const char* key, const VelString& a1) override;
  VelString translate(const char* key) override;
  bool isTranslating() override { return false; }

  // The key widened to UTF-16 (a null key leaves `out` empty); true.
  // Derived translators replace the lookup here.
  virtual bool lookupText(const char* key, VelString& out);

  void queryInterface(const char* name, void* target) override;
  static constexpr const char* kClassName = "VelTrivialTranslator";
  const char* getClassName() override { return kClassName; }

 private:
  // The key's text with the null-terminated argument list substituted.
  VelString translateWith(const char* key, const VelString* const* args);
};

// Replaces the first placeholder for the number n (1 to 99) in `text` by the
// argument's text. '%1' also matches in '%12'. Without such a placeholder,
// or with n outside 1..99, the text stays as it is.
void replaceArg(VelString& text, int32_t n, const VelString& argument);
