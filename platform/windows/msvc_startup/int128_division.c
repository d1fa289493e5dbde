/* 128-bit division, which the compiler calls for __int128 operands (libc++'s
   file times among them) and the MSVC ABI's runtime does not provide: long
   division a bit at a time, on the compiler's own 128-bit shifts and
   subtractions, so these functions call none of themselves. */
typedef __int128 int128;
typedef unsigned __int128 uint128;

static uint128 divide(uint128 dividend, uint128 divisor, uint128* remainder) {
  uint128 quotient = 0;
  uint128 rest = 0;
  if (divisor == 0) __builtin_trap(); /* as the hardware division traps */
  for (int bit = 127; bit >= 0; --bit) {
    rest = (rest << 1) | ((dividend >> bit) & 1);
    if (rest >= divisor) {
      rest -= divisor;
      quotient |= (uint128)1 << bit;
    }
  }
  if (remainder) *remainder = rest;
  return quotient;
}

static uint128 magnitude(int128 value) { return value < 0 ? (uint128)0 - (uint128)value : (uint128)value; }

uint128 __udivti3(uint128 a, uint128 b) { return divide(a, b, 0); }

uint128 __umodti3(uint128 a, uint128 b) {
  uint128 rest;
  divide(a, b, &rest);
  return rest;
}

/* Signed: the quotient rounds toward zero, the remainder takes the
   dividend's sign. */
int128 __divti3(int128 a, int128 b) {
  const uint128 quotient = divide(magnitude(a), magnitude(b), 0);
  return (a < 0) != (b < 0) ? (int128)((uint128)0 - quotient) : (int128)quotient;
}

int128 __modti3(int128 a, int128 b) {
  uint128 rest;
  divide(magnitude(a), magnitude(b), &rest);
  return a < 0 ? (int128)((uint128)0 - rest) : (int128)rest;
}
