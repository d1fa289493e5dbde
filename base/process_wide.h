// Process-wide objects, made one of two ways:
//  - never destroyed: a NoDestructor, as a function-local static (built on
//    first use; neverDestroyed<T>() is one) or constinit at namespace scope
//    (built before any code runs), for what must outlive every destructor
//    (the heap and the other platform singletons, the pool's allocator, the
//    class table, the host object);
//  - built on first use, destroyed at unload: builtOnFirstUse<maker>(), a
//    function-local static behind the language's once-flag. A throwing maker
//    leaves it unbuilt, so the next call tries again; unload destroys them in
//    the reverse order of building.
//      const VelString& separator() { return builtOnFirstUse<[] { return VelString('\\'); }>(); }
//    Each maker is its own object; it returns by value (copy-free, so the
//    type need not be copyable or movable).
#pragma once

#include <utility>

namespace cadence {

template <class T>
class NoDestructor {
 public:
  template <class... Args>
  constexpr explicit NoDestructor(Args&&... args) : value_(std::forward<Args>(args)...) {}
  NoDestructor(const NoDestructor&) = delete;
  NoDestructor& operator=(const NoDestructor&) = delete;
  ~NoDestructor() {}  // the object is never destroyed

  T* get() { return &value_; }
  T* operator->() { return &value_; }
  T& operator*() { return value_; }

 private:
  union {
    T value_;
  };
};

// The process's one T, built on first use and never destroyed: used until
// the very end.
template <class T>
T& neverDestroyed() {
  static NoDestructor<T> object;
  return *object;
}

template <auto kMake>
auto& builtOnFirstUse() {
  static auto object = kMake();
  return object;
}

}  // namespace cadence
