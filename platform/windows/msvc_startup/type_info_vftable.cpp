// The vftable of ::type_info ("??_7type_info@@6B@"), which every RTTI type
// descriptor the compiler emits points at: MSVC's runtime links it into each
// image, wine's DLLs do not export it. (libc++'s std::type_info is a class
// of its own.) Only the vftable's name matters: nothing calls through it.
// Built /GR-: with RTTI, the class's own record would point at this vftable.
#include <new>

class type_info {
 public:
  virtual ~type_info();
};

type_info::~type_info() = default;

// The compiler emits a vftable where an object of the class is made.
extern "C" void __msvc_startup_emit_type_info_vftable(void* storage) { ::new (storage) type_info; }
