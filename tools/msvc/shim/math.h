/* Over wine's <math.h>: the functions the universal CRT's header declares
   beyond it (exported by ucrtbase), and its long double functions, inline
   there, over the double ones (long double is double in this ABI). */
#pragma once
#include_next <math.h>
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP double __cdecl erfc(double);
_ACRTIMP float __cdecl erfcf(float);
_ACRTIMP double __cdecl fma(double, double, double);
_ACRTIMP float __cdecl fmaf(float, float, float);
_ACRTIMP double __cdecl nan(const char *);
_ACRTIMP float __cdecl nanf(const char *);
_ACRTIMP double __cdecl nexttoward(double, long double);
_ACRTIMP float __cdecl nexttowardf(float, long double);

#define MSVC_SHIM_LD1(f) \
  static __inline long double __cdecl f##l(long double x) { return f((double)x); }
#define MSVC_SHIM_LD2(f) \
  static __inline long double __cdecl f##l(long double x, long double y) { return f((double)x, (double)y); }
MSVC_SHIM_LD1(acos) MSVC_SHIM_LD1(acosh) MSVC_SHIM_LD1(asin) MSVC_SHIM_LD1(asinh)
MSVC_SHIM_LD1(atan) MSVC_SHIM_LD1(atanh) MSVC_SHIM_LD1(cbrt) MSVC_SHIM_LD1(ceil)
MSVC_SHIM_LD1(cos) MSVC_SHIM_LD1(cosh) MSVC_SHIM_LD1(erf) MSVC_SHIM_LD1(erfc)
MSVC_SHIM_LD1(exp) MSVC_SHIM_LD1(exp2) MSVC_SHIM_LD1(expm1) MSVC_SHIM_LD1(fabs)
MSVC_SHIM_LD1(floor) MSVC_SHIM_LD1(lgamma) MSVC_SHIM_LD1(log) MSVC_SHIM_LD1(log10)
MSVC_SHIM_LD1(log1p) MSVC_SHIM_LD1(log2) MSVC_SHIM_LD1(logb) MSVC_SHIM_LD1(nearbyint)
MSVC_SHIM_LD1(rint) MSVC_SHIM_LD1(round) MSVC_SHIM_LD1(sin) MSVC_SHIM_LD1(sinh)
MSVC_SHIM_LD1(sqrt) MSVC_SHIM_LD1(tan) MSVC_SHIM_LD1(tanh) MSVC_SHIM_LD1(tgamma)
MSVC_SHIM_LD1(trunc)
MSVC_SHIM_LD2(atan2) MSVC_SHIM_LD2(copysign) MSVC_SHIM_LD2(fdim) MSVC_SHIM_LD2(fmax)
MSVC_SHIM_LD2(fmin) MSVC_SHIM_LD2(fmod) MSVC_SHIM_LD2(hypot) MSVC_SHIM_LD2(nextafter)
MSVC_SHIM_LD2(nexttoward) MSVC_SHIM_LD2(pow) MSVC_SHIM_LD2(remainder)
#undef MSVC_SHIM_LD1
#undef MSVC_SHIM_LD2
static __inline long double __cdecl fmal(long double x, long double y, long double z) {
  return fma((double)x, (double)y, (double)z);
}
static __inline long double __cdecl frexpl(long double x, int *e) { return frexp((double)x, e); }
static __inline long double __cdecl ldexpl(long double x, int e) { return ldexp((double)x, e); }
static __inline long double __cdecl modfl(long double x, long double *whole) {
  double w;
  double fraction = modf((double)x, &w);
  *whole = w;
  return fraction;
}
static __inline long double __cdecl remquol(long double x, long double y, int *q) {
  return remquo((double)x, (double)y, q);
}
static __inline long double __cdecl scalbnl(long double x, int e) { return scalbn((double)x, e); }
static __inline long double __cdecl scalblnl(long double x, long e) { return scalbln((double)x, e); }
static __inline long double __cdecl nanl(const char *s) { return nan(s); }
static __inline int __cdecl ilogbl(long double x) { return ilogb((double)x); }
static __inline long long __cdecl llrintl(long double x) { return llrint((double)x); }
static __inline long long __cdecl llroundl(long double x) { return llround((double)x); }
static __inline long __cdecl lrintl(long double x) { return lrint((double)x); }
static __inline long __cdecl lroundl(long double x) { return lround((double)x); }
#ifdef __cplusplus
}
#endif
