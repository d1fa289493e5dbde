// Process-wide objects. Those torn down at unload are function-local statics:
// built on the first call (a throwing constructor leaves them unbuilt, so the
// next call tries again) and destroyed at unload in reverse order of building.
// Those kept for the life of the process live in a VelNoDestructor.
#pragma once

#include <new>
#include <utility>

template <class T>
class VelNoDestructor {
 public:
  template <class... Args>
  explicit VelNoDestructor(Args&&... args) {
    new (storage_) T(std::forward<Args>(args)...);
  }
  VelNoDestructor(const VelNoDestructor&) = delete;
  VelNoDestructor& operator=(const VelNoDestructor&) = delete;
  ~VelNoDestructor() = default;  // the object is never destroyed

  T* get() { return std::launder(reinterpret_cast<T*>(storage_)); }
  T* operator->() { return get(); }
  T& operator*() { return *get(); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};
