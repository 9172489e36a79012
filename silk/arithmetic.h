// Integer primitives of the fixed-point SILK decoder, implemented once and used everywhere.
//
// Every 32-bit add, subtract, multiply and left shift goes through unsigned arithmetic and is
// reduced with wrap32, because the decoder relies on two's-complement wrap-around in places and
// signed overflow would be undefined behaviour in C++.
//
// Names follow the lower-case primitive names of the decoder description; where a name would
// collide with the standard library the width is appended: abs32, min32, max32.
#ifndef SILK_ARITHMETIC_H
#define SILK_ARITHMETIC_H

#include <cstddef>
#include <cstdint>

namespace silk {

inline int32_t wrap32(int64_t x) { return static_cast<int32_t>(static_cast<uint32_t>(x)); }
inline int16_t int16(int32_t x) { return static_cast<int16_t>(static_cast<uint16_t>(x)); }

inline int32_t add32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t sub32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t mul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t mla(int32_t acc, int32_t a, int32_t b) { return add32(acc, mul(a, b)); }

inline int32_t sat16(int32_t x) { return x > 32767 ? 32767 : (x < -32768 ? -32768 : x); }

template <typename T> inline T limit(T x, T l1, T l2) {
  if (l1 > l2) return x > l1 ? l1 : (x < l2 ? l2 : x);
  return x > l2 ? l2 : (x < l1 ? l1 : x);
}

inline int32_t abs32(int32_t a) { return a > 0 ? a : sub32(0, a); }
inline int32_t min32(int32_t a, int32_t b) { return a < b ? a : b; }
inline int32_t max32(int32_t a, int32_t b) { return a > b ? a : b; }

inline int32_t add_sat32(int32_t a, int32_t b) {
  int64_t s = static_cast<int64_t>(a) + b;
  return s > INT32_MAX ? INT32_MAX : (s < INT32_MIN ? INT32_MIN : static_cast<int32_t>(s));
}
inline int32_t sub_sat32(int32_t a, int32_t b) {
  int64_t s = static_cast<int64_t>(a) - b;
  return s > INT32_MAX ? INT32_MAX : (s < INT32_MIN ? INT32_MIN : static_cast<int32_t>(s));
}

// Truncating division of the C operator; only a = INT32_MIN, b = -1 would overflow.
inline int32_t div32(int32_t a, int32_t b) { return a / b; }

inline int32_t lshift(int32_t a, int s) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) << s);
}
// Arithmetic shift: floor(a / 2^s).
inline int32_t rshift(int32_t a, int s) { return a >> s; }

inline int32_t lshift_sat32(int32_t a, int s) {
  return lshift(limit<int32_t>(a, INT32_MIN >> s, INT32_MAX >> s), s);
}

inline int32_t rshift_round(int32_t a, int s) {
  return s == 1 ? (a >> 1) + (a & 1) : ((a >> (s - 1)) + 1) >> 1;
}
inline int64_t rshift_round64(int64_t a, int s) {
  return s == 1 ? (a >> 1) + (a & 1) : ((a >> (s - 1)) + 1) >> 1;
}

inline int32_t smulbb(int32_t a, int32_t b) {
  return static_cast<int32_t>(int16(a)) * static_cast<int32_t>(int16(b));
}
inline int32_t smlabb(int32_t acc, int32_t a, int32_t b) { return add32(acc, smulbb(a, b)); }
inline int32_t smultt(int32_t a, int32_t b) { return (a >> 16) * (b >> 16); }

inline int32_t smulwb(int32_t a, int32_t b) {
  return static_cast<int32_t>((static_cast<int64_t>(a) * int16(b)) >> 16);
}
inline int32_t smlawb(int32_t acc, int32_t a, int32_t b) { return add32(acc, smulwb(a, b)); }
inline int32_t smulwt(int32_t a, int32_t b) {
  return static_cast<int32_t>((static_cast<int64_t>(a) * (b >> 16)) >> 16);
}

inline int32_t smulww(int32_t a, int32_t b) {
  return wrap32((static_cast<int64_t>(a) * b) >> 16);
}
inline int32_t smlaww(int32_t acc, int32_t a, int32_t b) { return add32(acc, smulww(a, b)); }

inline int64_t smull(int32_t a, int32_t b) { return static_cast<int64_t>(a) * b; }
inline int32_t smmul(int32_t a, int32_t b) { return static_cast<int32_t>(smull(a, b) >> 32); }

inline int32_t rand(int32_t seed) { return mla(907633515, seed, 196314165); }

inline int clz32(int32_t x) {
  uint32_t u = static_cast<uint32_t>(x);
  if (u == 0) return 32;
  int n = 0;
  while (!(u & 0x80000000u)) {
    u <<= 1;
    ++n;
  }
  return n;
}
inline int clz16(int32_t x) {
  uint16_t u = static_cast<uint16_t>(x);
  if (u == 0) return 16;
  return clz32(static_cast<int32_t>(u)) - 16;
}

struct clz_frac_result {
  int lz;
  int frac;
};
inline clz_frac_result clz_frac(int32_t x) {
  int lz = clz32(x);
  if (lz == 32) return {32, 0};
  uint64_t shifted = static_cast<uint64_t>(static_cast<uint32_t>(x)) << lz;
  return {lz, static_cast<int>((shifted >> 24) & 127)};
}

inline int32_t div32_varq(int32_t a, int32_t b, int q) {
  int ha = clz32(abs32(a)) - 1;
  int32_t an = lshift(a, ha);
  int hb = clz32(abs32(b)) - 1;
  int32_t bn = lshift(b, hb);
  int32_t inv = div32(536870911, bn >> 16);
  int32_t r = smulwb(an, inv);
  an = sub32(an, lshift(smmul(bn, r), 3));
  r = smlawb(r, an, inv);
  int sh = 29 + ha - hb - q;
  if (sh <= 0) return lshift_sat32(r, -sh);
  return sh < 32 ? r >> sh : 0;
}

inline int32_t inverse32_varq(int32_t b, int q) {
  int hb = clz32(abs32(b)) - 1;
  int32_t bn = lshift(b, hb);
  int32_t inv = div32(536870911, bn >> 16);
  int32_t r = lshift(inv, 16);
  int32_t e = lshift(sub32(0, smulwb(bn, inv)), 3);
  r = smlaww(r, e, inv);
  int sh = 61 - hb - q;
  if (sh <= 0) return lshift_sat32(r, -sh);
  return sh < 32 ? r >> sh : 0;
}

inline int32_t sqrt_approx(int32_t x) {
  if (x <= 0) return 0;
  clz_frac_result c = clz_frac(x);
  int32_t y = (c.lz & 1) ? 32768 : 46214;
  y >>= c.lz >> 1;
  return smlawb(y, y, smulbb(213, c.frac));
}

inline int32_t lin2log(int32_t x) {
  clz_frac_result c = clz_frac(x);
  return 128 * (31 - c.lz) + smlawb(c.frac, c.frac * (128 - c.frac), 179);
}

inline int32_t log2lin(int32_t x) {
  if (x < 0) return 0;
  if (x >= 3968) return INT32_MAX;
  int32_t p = 1 << (x >> 7);
  int32_t f = x & 127;
  int32_t c = smlawb(f, f * (128 - f), -174);
  if (x < 2048) return p + ((p * c) >> 7);
  return p + (p >> 7) * c;
}

struct energy {
  int32_t value;
  int shift;
};
// Squares are added in pairs from the start of x; the caller passes 4-byte aligned vectors.
inline energy sum_sqr_shift(const int16_t *x, int n) {
  uint32_t acc = 0;
  int shift = 0;
  int k = 0;
  auto pair = [&](int i) {
    return static_cast<uint32_t>(x[i] * x[i]) + static_cast<uint32_t>(x[i + 1] * x[i + 1]);
  };
  while (k < n - 1) {
    acc += pair(k);
    k += 2;
    if (acc >= 0x80000000u) {
      acc >>= 2;
      shift = 2;
      break;
    }
  }
  while (k < n - 1) {
    acc += pair(k) >> shift;
    k += 2;
    if (acc >= 0x80000000u) {
      acc >>= 2;
      shift += 2;
    }
  }
  if (k == n - 1) acc += static_cast<uint32_t>(x[k] * x[k]) >> shift;
  if (acc >= 0x40000000u) {
    acc >>= 2;
    shift += 2;
  }
  return {static_cast<int32_t>(acc), shift};
}

inline void bwexpander(int16_t *ar, int d, int32_t chirp_q16) {
  int32_t m = chirp_q16 - 65536;
  for (int k = 0; k < d - 1; ++k) {
    ar[k] = int16(rshift_round(mul(chirp_q16, ar[k]), 16));
    chirp_q16 += rshift_round(mul(chirp_q16, m), 16);
  }
  ar[d - 1] = int16(rshift_round(mul(chirp_q16, ar[d - 1]), 16));
}

inline void bwexpander_32(int32_t *ar, int d, int32_t chirp_q16) {
  int32_t t = chirp_q16;
  for (int k = 0; k < d - 1; ++k) {
    ar[k] = smulww(ar[k], t);
    t = smulww(chirp_q16, t);
  }
  ar[d - 1] = smulww(ar[d - 1], t);
}

inline void sort_all_values(int32_t *a, int n) {
  for (int i = 1; i < n; ++i) {
    int32_t v = a[i];
    int j = i - 1;
    for (; j >= 0 && a[j] > v; --j) a[j + 1] = a[j];
    a[j + 1] = v;
  }
}

}  // namespace silk

#endif
