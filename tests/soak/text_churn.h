// Strings and translations made and dropped, the way the framework's own code
// makes them: every buffer comes from the pool in use and goes back to it, so
// a soak that churns texts exercises the pool (and the move to the host's
// pool) as much as the timers' names do. Each text is checked against what
// it must say.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace cadence::soak {

class TextChurn {
 public:
  // Makes and drops a handful of texts built from `name`; false (with
  // `problem` set) when one comes out wrong.
  bool round(const std::string& name, std::mt19937& random);

  int64_t textsMade() const { return texts_; }
  int64_t translations() const { return translations_; }
  const std::string& problem() const { return problem_; }

 private:
  bool fail(const std::string& what);

  int64_t texts_ = 0;
  int64_t translations_ = 0;
  std::string problem_;
};

}  // namespace cadence::soak
