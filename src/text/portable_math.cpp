#include "text/portable_math.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace matcalc {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// One NaN for every invalid case: the bits of a NaN made by arithmetic differ
// between processors.
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------
// Double-double arithmetic: a value hi + lo kept unevaluated, |lo| at most
// half an ulp of hi. Every step is a plain IEEE operation, so the bits are the
// same wherever the program runs.

struct Dd {
  double hi;
  double lo;
};

constexpr Dd Exact(double a) { return {a, 0.0}; }
constexpr Dd Negate(Dd a) { return {-a.hi, -a.lo}; }

// a + b = s + e exactly.
constexpr Dd TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// The same when |a| >= |b| or a is 0.
constexpr Dd FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a = hi + lo, each with at most 26 significant bits, so the products of the
// halves are exact. |a| stays below 2^996 wherever it is used.
constexpr Dd Split(double a) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double c = kSplitter * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// a b = p + e exactly, without a fused multiply-add.
constexpr Dd TwoProd(double a, double b) {
  const double p = a * b;
  const Dd x = Split(a);
  const Dd y = Split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// The sum with both error terms carried, accurate even when hi parts cancel.
constexpr Dd Add(Dd a, Dd b) {
  Dd s = TwoSum(a.hi, b.hi);
  const Dd t = TwoSum(a.lo, b.lo);
  s = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(s.hi, s.lo + t.lo);
}

constexpr Dd Add(Dd a, double b) {
  const Dd s = TwoSum(a.hi, b);
  return FastTwoSum(s.hi, s.lo + a.lo);
}

constexpr Dd Mul(Dd a, Dd b) {
  const Dd p = TwoProd(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr Dd Mul(Dd a, double b) {
  const Dd p = TwoProd(a.hi, b);
  return FastTwoSum(p.hi, p.lo + a.lo * b);
}

// Three quotient digits, each from the remainder left by the ones before.
constexpr Dd Div(Dd a, Dd b) {
  const double q1 = a.hi / b.hi;
  Dd r = Add(a, Negate(Mul(b, q1)));
  const double q2 = r.hi / b.hi;
  r = Add(r, Negate(Mul(b, q2)));
  const double q3 = r.hi / b.hi;
  return Add(FastTwoSum(q1, q2), q3);
}

// One Newton step from the square root of the high part (a > 0).
Dd Sqrt(Dd a) {
  const double q = std::sqrt(a.hi);
  const Dd r = Add(a, Negate(TwoProd(q, q)));
  return FastTwoSum(q, r.hi / (2 * q));
}

// c[0] + c[1] t + c[2] t^2 + ... by Horner's rule. The terms from c[n_dd] on
// are below 2^-55 of the sum, so they are summed in plain doubles first.
// Each step sum t + c[i] adds to c[i] a product far smaller than it (the
// terms fall off fast), so the low parts are gathered in one double and a
// single two-sum carries the step.
template <std::size_t N>
Dd Series(const std::array<Dd, N>& c, std::size_t n_dd, Dd t) {
  double tail = c[N - 1].hi;
  for (std::size_t i = N - 1; i-- > n_dd;) tail = tail * t.hi + c[i].hi;
  Dd sum = Exact(tail);
  const Dd t_halves = Split(t.hi);
  for (std::size_t i = n_dd; i-- > 0;) {
    const double p = sum.hi * t.hi;
    const Dd s = Split(sum.hi);
    const double p_error =
        ((s.hi * t_halves.hi - p) + s.hi * t_halves.lo + s.lo * t_halves.hi) + s.lo * t_halves.lo;
    const Dd head = TwoSum(c[i].hi, p);
    const double low = head.lo + (c[i].lo + (p_error + (sum.hi * t.lo + sum.lo * t.hi)));
    sum = FastTwoSum(head.hi, low);
  }
  return sum;
}

// ---------------------------------------------------------------------------
// Constants: pi/2 to 107 bits, ln 2 to 160.

constexpr Dd kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr Dd kQuarterPi = {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55};
constexpr std::array<double, 3> kLn2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56,
                                        0x1.7b57a079a1934p-111};
constexpr double kInvLn2 = 0x1.71547652b82fep+0;

// 2/pi in binary, 32 bits a word: 1344 bits, enough to reduce 2^1024.
constexpr std::array<std::uint32_t, 42> kTwoOverPi = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB,
    0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E,
    0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B,
    0xBDF9283B, 0x1FF897FF, 0xDE05980F, 0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7,
    0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1,
    0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08};

// Series coefficients, made by the compiler in the same double-double
// arithmetic (each exact to about 2^-104 of itself).

// (-1)^k / (2k + 1)!: sin r = r (c0 + c1 r^2 + ...), |r| <= pi/4.
constexpr auto kSinCoefficients = [] {
  std::array<Dd, 15> c{};
  Dd f = Exact(1);
  for (std::size_t k = 0; k < c.size(); ++k) {
    if (k > 0) f = Div(f, Exact(static_cast<double>((2 * k) * (2 * k + 1))));
    c[k] = k % 2 == 0 ? f : Negate(f);
  }
  return c;
}();

// (-1)^k / (2k)!: cos r = c0 + c1 r^2 + ...
constexpr auto kCosCoefficients = [] {
  std::array<Dd, 16> c{};
  Dd f = Exact(1);
  for (std::size_t k = 0; k < c.size(); ++k) {
    if (k > 0) f = Div(f, Exact(static_cast<double>((2 * k - 1) * (2 * k))));
    c[k] = k % 2 == 0 ? f : Negate(f);
  }
  return c;
}();

// 1 / (i + 1)!: e^r - 1 = r (c0 + c1 r + ...), |r| <= ln2 / 2.
constexpr auto kExpm1Coefficients = [] {
  std::array<Dd, 23> c{};
  Dd f = Exact(1);
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (i > 0) f = Div(f, Exact(static_cast<double>(i + 1)));
    c[i] = f;
  }
  return c;
}();

// 1 / (2k + 1): log m = 2 s (c0 + c1 s^2 + ...), s = (m - 1) / (m + 1), |s| <= 0.172.
constexpr auto kAtanhCoefficients = [] {
  std::array<Dd, 22> c{};
  for (std::size_t k = 0; k < c.size(); ++k) {
    c[k] = Div(Exact(1), Exact(static_cast<double>(2 * k + 1)));
  }
  return c;
}();

// (-1)^k / (2k + 1): atan w = w (c0 + c1 w^2 + ...), |w| <= tan(pi/32).
constexpr auto kAtanCoefficients = [] {
  std::array<Dd, 17> c{};
  for (std::size_t k = 0; k < c.size(); ++k) {
    const Dd f = Div(Exact(1), Exact(static_cast<double>(2 * k + 1)));
    c[k] = k % 2 == 0 ? f : Negate(f);
  }
  return c;
}();

// ---------------------------------------------------------------------------
// Exact scaling and rounding to double.

// 2^k for -1022 <= k <= 1023, from its bits.
double PowerOfTwo(int k) {
  const std::uint64_t bits = static_cast<std::uint64_t>(k + 1023) << 52;
  double p = 0;
  std::memcpy(&p, &bits, sizeof p);
  return p;
}

// The significand of a finite a > 0 as an integer m < 2^53, and e with
// a = m 2^e.
std::uint64_t Significand(double a, int& e) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &a, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0) {
    e = -1074;
    return m;
  }
  e = biased - 1075;
  return m | (std::uint64_t{1} << 52);
}

// The integer nearest to x (ties to even) for |x| < 2^51: adding and taking
// away 1.5 2^52 leaves no fraction bits.
double NearestInteger(double x) {
  constexpr double kShifter = 0x1.8p52;
  return (x + kShifter) - kShifter;
}

// (v.hi + v.lo) 2^k rounded once, for 0.5 <= v.hi < 2: to +inf above the
// range, gradually to 0 below it.
double RoundScaled(Dd v, int k) {
  if (k > 1023) return (v.hi + v.lo) * PowerOfTwo(1023) * PowerOfTwo(k - 1023);
  if (k >= -1021) return (v.hi + v.lo) * PowerOfTwo(k);  // a normal result, exact scaling
  // Below 2^-1021 the grid is 2^-1074 apart: round v 2^(k + 1074) to an integer.
  const int shift = k + 1074;
  if (shift < -2) return 0;  // below 2^-1075, half the least subnormal
  const double w_hi = std::ldexp(v.hi, shift);
  const double w_lo = std::ldexp(v.lo, shift);
  double n = std::nearbyint(w_hi);
  const double d = w_hi - n;
  // A tie in the high part alone is settled by the low part.
  if (d == 0.5 && w_lo > 0) n += 1;
  if (d == -0.5 && w_lo < 0) n -= 1;
  return std::ldexp(n, -1074);
}

// n 2^e rounded once (n >= 1), exact ties to even.
double RoundInteger(std::uint64_t n, std::int64_t e) {
  const int bits = 64 - std::countl_zero(n);
  const std::int64_t top = e + bits - 1;  // n 2^e lies in [2^top, 2^(top + 1))
  if (top > 1023) return kInfinity;
  if (top < -1076) return 0;
  const std::int64_t keep = top >= -1022 ? 53 : top + 1075;  // significant bits of the result
  const std::int64_t drop = bits - keep;
  if (drop <= 0) return std::ldexp(static_cast<double>(n), static_cast<int>(e));
  std::uint64_t q = drop >= 64 ? 0 : n >> drop;
  const std::uint64_t rest = drop >= 64 ? n : n & ((std::uint64_t{1} << drop) - 1);
  const std::uint64_t half = std::uint64_t{1} << (drop - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return std::ldexp(static_cast<double>(q), static_cast<int>(e + drop));
}

// ---------------------------------------------------------------------------
// Trigonometric functions.

// 32 bits of 2/pi from bit j after the binary point on (bit 0 is worth 1/2);
// the bits before the point are 0.
std::uint64_t TwoOverPiWord(int j) {
  const auto word = [](int i) -> std::uint64_t {
    return i >= 0 && i < static_cast<int>(kTwoOverPi.size())
               ? kTwoOverPi[static_cast<std::size_t>(i)]
               : 0;
  };
  const int i = j >= 0 ? j / 32 : -((31 - j) / 32);
  const int shift = j - 32 * i;  // 0 to 31
  const std::uint64_t pair = (word(i) << 32) | word(i + 1);
  return (pair >> (32 - shift)) & 0xFFFFFFFF;
}

// a = q pi/2 + r with |r| <= pi/4 (a little more at most), q taken mod 4, for
// a finite a > pi/4. a 2/pi is formed exactly in integers from a 256-bit
// window of 2/pi: the bits before the window add multiples of 4, the bits
// after it less than 2^-200, and no double comes nearer than about 2^-62 to a
// multiple of pi/2, so r keeps more than 106 correct bits.
Dd ReduceHalfPi(double a, int& quadrant) {
  int e = 0;
  const std::uint64_t m = Significand(a, e);  // a = m 2^e

  // W: bits e - 2 ... e + 253 of 2/pi as an integer; a 2/pi = m W / 2^254 mod 4.
  constexpr int kWords = 8;
  std::array<std::uint64_t, kWords> w{};  // least significant first
  for (int i = 0; i < kWords; ++i) {
    w[static_cast<std::size_t>(kWords - 1 - i)] = TwoOverPiWord(e - 2 + 32 * i);
  }
  // P = m W in 32-bit limbs, m taken as its low 32 and high 21 bits.
  std::array<std::uint64_t, kWords + 2> p{};
  const std::uint64_t m0 = m & 0xFFFFFFFF;
  const std::uint64_t m1 = m >> 32;
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < kWords; ++i) {
    const std::uint64_t t = w[i] * m0 + carry;
    p[i] = t & 0xFFFFFFFF;
    carry = t >> 32;
  }
  p[kWords] = carry;
  carry = 0;
  for (std::size_t i = 0; i < kWords; ++i) {
    const std::uint64_t t = w[i] * m1 + p[i + 1] + carry;
    p[i + 1] = t & 0xFFFFFFFF;
    carry = t >> 32;
  }
  // The top two bits of the fraction's limbs are the quadrant (mod 4), the
  // 254 bits below them the fraction.
  std::size_t top = kWords - 1;
  quadrant = static_cast<int>(p[top] >> 30);
  p[top] &= 0x3FFFFFFF;
  bool negative = false;
  if (p[top] >= 0x20000000) {  // a fraction of 1/2 or more: the next quadrant, r < 0
    quadrant = (quadrant + 1) & 3;
    negative = true;
    std::uint64_t borrow = 0;  // 2^254 - fraction
    for (std::size_t i = 0; i < kWords; ++i) {
      const std::uint64_t t = (std::uint64_t{1} << 32) - p[i] - borrow;
      p[i] = t & 0xFFFFFFFF;
      borrow = t >> 32 == 1 ? 0 : 1;
    }
    p[top] &= 0x3FFFFFFF;
  }
  Dd fraction = Exact(0);
  for (std::size_t i = kWords; i-- > 0;) {
    fraction =
        Add(fraction, static_cast<double>(p[i]) * PowerOfTwo(32 * static_cast<int>(i) - 254));
  }
  const Dd r = Mul(fraction, kHalfPi);
  return negative ? Negate(r) : r;
}

Dd SinKernel(Dd r) { return Mul(r, Series(kSinCoefficients, 9, Mul(r, r))); }
Dd CosKernel(Dd r) { return Series(kCosCoefficients, 9, Mul(r, r)); }

// |x| = q pi/2 + r; below 2^-27 the functions are x (cos 1) to the last bit.
struct Reduced {
  Dd r;
  int quadrant;
};
Reduced Reduce(double a) {
  if (a <= 0.785398163) return {Exact(a), 0};
  Reduced reduced{};
  reduced.r = ReduceHalfPi(a, reduced.quadrant);
  return reduced;
}

double Rounded(Dd v) { return v.hi + v.lo; }

// ---------------------------------------------------------------------------
// Exponential and logarithm.

// e^x for -746 <= x.hi <= 710: x = k ln2 + r, e^r = 1 + r (1 + r/2 + ...).
double ExpOf(Dd x) {
  const double k = NearestInteger(x.hi * kInvLn2);
  Dd r = Add(x, Negate(TwoProd(k, kLn2[0])));
  r = Add(r, Negate(TwoProd(k, kLn2[1])));
  r = Add(r, -k * kLn2[2]);
  const Dd expm1 = Mul(r, Series(kExpm1Coefficients, 13, r));
  return RoundScaled(Add(expm1, 1.0), static_cast<int>(k));
}

// log x for a finite x > 0: x = m 2^e with m in [sqrt(1/2), sqrt(2)),
// log m = 2 atanh((m - 1) / (m + 1)).
Dd LogOf(double x) {
  int shift = 0;
  if (x < 0x1p-1022) {  // subnormal: scaled into the normal range first
    x *= 0x1p54;
    shift = 54;
  }
  std::uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  int e = static_cast<int>(bits >> 52) - 1022 - shift;
  bits = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1022} << 52);
  double m = 0;  // x = m 2^e, 1/2 <= m < 1
  std::memcpy(&m, &bits, sizeof m);
  if (m < 0x1.6a09e667f3bcdp-1) {
    m *= 2;
    --e;
  }
  const Dd s = Div(Exact(m - 1), TwoSum(m, 1));  // m - 1 is exact
  Dd log_m = Mul(s, Series(kAtanhCoefficients, 10, Mul(s, s)));
  log_m = {2 * log_m.hi, 2 * log_m.lo};
  const auto scale = static_cast<double>(e);
  Dd sum = Add(TwoProd(scale, kLn2[0]), TwoProd(scale, kLn2[1]));
  sum = Add(sum, scale * kLn2[2]);
  return Add(sum, log_m);
}

// ---------------------------------------------------------------------------
// Arctangent.

// atan t for 0 <= t <= 1.
Dd AtanKernel(Dd t) {
  // Past tan(pi/8): atan t = pi/4 - atan((1 - t) / (1 + t)).
  const bool reflect = t.hi > 0.41421356237309503;
  Dd w = reflect ? Div(Add(Negate(t), 1.0), Add(t, 1.0)) : t;
  // Twice atan w = 2 atan(w / (1 + sqrt(1 + w^2))): w <= tan(pi/32).
  for (int i = 0; i < 2; ++i) w = Div(w, Add(Sqrt(Add(Mul(w, w), 1.0)), 1.0));
  Dd atan = Mul(w, Series(kAtanCoefficients, 8, Mul(w, w)));
  atan = {4 * atan.hi, 4 * atan.lo};
  return reflect ? Add(kQuarterPi, Negate(atan)) : atan;
}

// ---------------------------------------------------------------------------
// Power.

bool IsInteger(double y) { return std::trunc(y) == y; }
bool IsOddInteger(double y) { return IsInteger(y) && !IsInteger(y * 0.5); }

// x^y for a finite x > 0 when it is a dyadic rational (so possibly a double or
// halfway between two): y = n / 2^k and x = M 2^E with M odd has such a power
// only when M is a perfect 2^k-th power and 2^k divides E. False otherwise or
// when the integer power does not fit in 64 bits (then it has too many bits to
// be exact or halfway).
bool ExactPower(double x, double y, double& result) {
  int k = 0;
  double scaled_y = y;
  while (!IsInteger(scaled_y)) {
    if (++k > 11) return false;  // 2^E is a 2^12-th power only for E = 0
    scaled_y *= 2;
  }
  if (std::fabs(scaled_y) > 0x1p62) return false;
  auto n = static_cast<std::int64_t>(scaled_y);

  int exponent = 0;
  const double mantissa = std::frexp(x, &exponent);
  auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
  std::int64_t e = exponent - 53;
  const int zeros = std::countr_zero(m);
  m >>= zeros;
  e += zeros;
  for (int i = 0; i < k; ++i) {  // one square root at a time, exact or not at all
    if (e % 2 != 0) return false;
    e /= 2;
    const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(m)));
    if (root * root != m) return false;
    m = root;
  }
  if (m == 1) {
    // A power of two: x^y = 2^(e n), beyond the range for large |n|.
    if (e == 0) {
      result = 1;
    } else if (n > 4096 || n < -4096) {
      result = (e > 0) == (n > 0) ? kInfinity : 0;
    } else {
      result = RoundInteger(1, e * n);
    }
    return true;
  }
  if (n < 0) return false;  // 1 / m^|n| with m odd > 1 is not dyadic
  std::uint64_t power = 1;
  for (std::int64_t i = 0; i < n; ++i) {
    if (power > std::numeric_limits<std::uint64_t>::max() / m) return false;
    power *= m;
  }
  result = RoundInteger(power, e * n);
  return true;
}

// ---------------------------------------------------------------------------
// Fast paths. Each forms a first value from a table and a short series, with a
// proven bound on its relative error, and keeps its rounding only when no
// value within that bound rounds differently; otherwise the full computation
// above decides. Either way the result is the one the full computation gives.
// The tables are made on first use by the full routines, so they have the
// same bits everywhere.

// v.hi + v.lo rounded into `result` when every value within rel |v.hi| of it
// rounds the same way (the rounding is monotonic, so the two ends suffice).
// Each caller's rel is several times its proven error, which also covers the
// rounding of v.lo +- e and the full computation's own error. A NaN fails.
bool RoundsSafely(Dd v, double rel, double& result) {
  const double e = rel * std::fabs(v.hi);
  const double up = v.hi + (v.lo + e);
  const double down = v.hi + (v.lo - e);
  if (up != down) return false;
  result = up;
  return true;
}

// a + b when the exponent of b.hi is at most that of a.hi (or a is 0) and the
// sum is at least about |a| / 2: the high parts add exactly, the error stays
// below 2^-104 of |a|.
Dd AddSmaller(Dd a, Dd b) {
  const Dd s = FastTwoSum(a.hi, b.hi);
  return FastTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

// a / b to about 2^-104 of the quotient (b.hi != 0): two quotient digits,
// a.hi - p.hi exact as the two are within a few ulps.
Dd QuickDiv(Dd a, Dd b) {
  const double q1 = a.hi / b.hi;
  const Dd p = TwoProd(q1, b.hi);
  const double r = (((a.hi - p.hi) - p.lo) + a.lo) - q1 * b.lo;
  return FastTwoSum(q1, r / b.hi);
}

// 2^(j/128) for j = 0 ... 127; the upper half as 2 e^(r - ln2), so the series
// always has |r| <= ln2 / 2.
const std::array<Dd, 128>& ExpTable() {
  static const std::array<Dd, 128> table = [] {
    std::array<Dd, 128> t{};
    const Dd ln2 = {kLn2[0], kLn2[1]};
    for (int j = 0; j < 128; ++j) {
      const int n = j < 64 ? j : j - 128;
      const Dd r = Mul(ln2, n * 0x1p-7);
      Dd v = Add(Mul(r, Series(kExpm1Coefficients, 13, r)), 1.0);
      if (n < 0) v = {2 * v.hi, 2 * v.lo};
      t[static_cast<std::size_t>(j)] = v;
    }
    return t;
  }();
  return table;
}

// ln2 / 128 in three parts, the first with 35 bits so that k times it is exact
// for |k| < 2^18.
constexpr double kLn2Over128Hi = ((kLn2[0] + 0x1.8p17) - 0x1.8p17) * 0x1p-7;
constexpr Dd kLn2Over128Rest = [] {
  const Dd rest = TwoSum(kLn2[0] - kLn2Over128Hi * 0x1p7, kLn2[1]);
  return Dd{rest.hi * 0x1p-7, (rest.lo + kLn2[2]) * 0x1p-7};
}();

// e^x = v 2^scale for |x.hi| < 746, with v in [0.99, 2) and a relative error
// below 2^-76: x = (128 k + j) ln2 / 128 + r, |r| <= ln2 / 256 (the parts of
// r are exact but for errors below 2^-95), e^r - 1 = r + r^2 / 2 + r^3 (1/6 +
// ... + r^4 / 5040) with the last bracket in doubles (error below 2^-77).
Dd FastExp(Dd x, int& scale) {
  const double kd = NearestInteger(x.hi * (128 * kInvLn2));
  Dd r = TwoSum(x.hi, -kd * kLn2Over128Hi);
  r = Add(r, Negate(TwoProd(kd, kLn2Over128Rest.hi)));
  r = Add(r, x.lo - kd * kLn2Over128Rest.lo);
  const double rh = r.hi;
  const Dd square = TwoProd(rh, rh);
  const Dd half_square = FastTwoSum(0.5 * square.hi, 0.5 * square.lo + rh * r.lo);
  const double tail =
      rh * rh * rh *
      (1.0 / 6 + rh * (1.0 / 24 + rh * (1.0 / 120 + rh * (1.0 / 720 + rh * (1.0 / 5040)))));
  const Dd expm1 = Add(AddSmaller(r, half_square), tail);
  const auto k = static_cast<std::int64_t>(kd);
  scale = static_cast<int>(k >> 7);
  const Dd& power = ExpTable()[static_cast<std::size_t>(k & 127)];
  return AddSmaller(power, Mul(power, expm1));
}

// 1 / (1 + j/128) for j = 0 ... 128 and minus the logarithm of it (of twice
// it past j = 53, where the argument is taken as half its significand).
struct LogTable {
  std::array<double, 129> inverse;
  std::array<Dd, 129> minus_log;
};
const LogTable& LogTables() {
  static const LogTable table = [] {
    LogTable t{};
    for (std::size_t j = 0; j <= 128; ++j) {
      const double c = 1 / (1 + static_cast<double>(j) * 0x1p-7);
      t.inverse[j] = c;
      t.minus_log[j] = Negate(LogOf(j > 53 ? 2 * c : c));
    }
    return t;
  }();
  return table;
}

// ln2 in parts, the first with 42 bits so that e times it is exact for the
// exponents of doubles.
constexpr double kLn2Hi = (kLn2[0] + 0x1.8p10) - 0x1.8p10;
constexpr double kLn2Mid = (kLn2[0] - kLn2Hi) + kLn2[1];

// log x for a finite x > 0 with a relative error below 2^-67.5: x = m 2^e,
// m in [1, 2), j = m - 1 in 128ths rounded, z = m / (1 + j/128) - 1 formed
// exactly, |z| <= 2^-8; log x = e ln2 - log(c_j) + log(1 + z) and log(1 + z)
// = z - z^2 / 2 + z^3 (1/3 - ... - z^7 / 10), the bracket in doubles (error
// below 2^-68 of |z|, and |log x| >= 0.99 |z| in every case).
Dd FastLog(double x) {
  int shift = 0;
  if (x < 0x1p-1022) {
    x *= 0x1p54;
    shift = 54;
  }
  std::uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  int e = static_cast<int>(bits >> 52) - 1023 - shift;
  bits = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1023} << 52);
  double m = 0;
  std::memcpy(&m, &bits, sizeof m);
  const auto j = static_cast<std::size_t>((m - 1) * 128 + 0.5);  // exact sum, 0 to 128
  if (j > 53) ++e;
  const LogTable& table = LogTables();
  const Dd p = TwoProd(m, table.inverse[j]);
  const Dd z = FastTwoSum(p.hi - 1, p.lo);  // p.hi - 1 is exact
  const double zh = z.hi;
  const Dd square = TwoProd(zh, zh);
  const Dd half_square = FastTwoSum(-0.5 * square.hi, -0.5 * square.lo - zh * z.lo);
  const double tail =
      zh * zh * zh *
      (1.0 / 3 -
       zh * (1.0 / 4 -
             zh * (1.0 / 5 -
                   zh * (1.0 / 6 -
                         zh * (1.0 / 7 - zh * (1.0 / 8 - zh * (1.0 / 9 - zh * (1.0 / 10))))))));
  const Dd log1p = Add(AddSmaller(z, half_square), tail);
  // |e ln2| >= ln2 > 2 |log c_j| when e != 0, and |log c_j| >= 2 |log(1 + z)|
  // when j is neither 0 nor 128 (for those two log c_j is 0).
  const auto scale = static_cast<double>(e);
  const Dd head = AddSmaller(FastTwoSum(scale * kLn2Hi, scale * kLn2Mid), table.minus_log[j]);
  return AddSmaller(head, log1p);
}

// atan(j/128) for j = 0 ... 128, and pi/2 less each.
struct AtanTable {
  std::array<Dd, 129> atan;
  std::array<Dd, 129> complement;
};
const AtanTable& AtanTables() {
  static const AtanTable table = [] {
    AtanTable t{};
    for (std::size_t j = 0; j <= 128; ++j) {
      t.atan[j] = AtanKernel(Exact(static_cast<double>(j) * 0x1p-7));
      t.complement[j] = Add(kHalfPi, Negate(t.atan[j]));
    }
    return t;
  }();
  return table;
}

// atan a for 2^-27 <= a < 2^500 with a relative error below 2^-67. With c =
// j/128 nearest a (or 1/a above 1), atan a = atan c + atan((a - c) / (1 + a c))
// (or pi/2 - atan c - atan((1 - a c) / (a + c))); the quotient t has
// |t| <= 2^-8, and atan t = t - t^3 (1/3 - ... - t^6 / 9), the bracket in
// doubles (error below 2^-68 of |t|). The numerators and denominators are
// formed exactly or to 2^-104 of themselves.
Dd FastAtan(double a) {
  const AtanTable& table = AtanTables();
  const bool above = a > 1;
  const auto j = static_cast<std::size_t>((above ? 128 / a : a * 128) + 0.5);
  const double c = static_cast<double>(j) * 0x1p-7;
  const Dd t = above ? QuickDiv(Add(Negate(TwoProd(a, c)), 1.0), TwoSum(a, c))
                     : QuickDiv(TwoSum(a, -c), Add(TwoProd(a, c), 1.0));
  const double th = t.hi;
  const double t2 = th * th;
  const double tail = th * t2 * (-1.0 / 3 + t2 * (1.0 / 5 - t2 * (1.0 / 7 - t2 * (1.0 / 9))));
  const Dd atan_t = Add(t, tail);
  // |atan t| < 2^-8 <= |atan c| unless c = 0, and the sum is at least about
  // half of atan c.
  return above ? AddSmaller(table.complement[j], Negate(atan_t))
               : AddSmaller(table.atan[j], atan_t);
}

// pi/2 in four parts, the first three with 33 bits so that k times each is
// exact for k < 2^20; together within 2^-159 of pi/2.
constexpr double kHalfPiPart1 = 0x1.921fb544p+0;
constexpr double kHalfPiPart2 = 0x1.0b4611a6p-34;
constexpr double kHalfPiPart3 = 0x1.3198a2ep-69;
constexpr double kHalfPiPart4 = 0x1.b839a252049c1p-104;
constexpr double kTwoOverPiRounded = 0x1.45f306dc9c883p-1;

// a = q pi/2 + r for 0 < a < 2^19, |r| <= pi/4 + 2^-33. a - k part1 is exact
// (both are multiples of the smaller's ulp and the difference is below 1);
// each later step rounds only the low part, so r is within 2^-104 |r| +
// 2^-115 of its exact value.
Dd CodyWaite(double a, int& quadrant) {
  const double k = NearestInteger(a * kTwoOverPiRounded);
  Dd r = Exact(a - k * kHalfPiPart1);
  r = Add(r, -k * kHalfPiPart2);
  r = Add(r, -k * kHalfPiPart3);
  r = Add(r, -k * kHalfPiPart4);
  quadrant = static_cast<int>(static_cast<std::int64_t>(k) & 3);
  return r;
}

// sin and cos of j/64 for j = 0 ... 50.
struct SinCosTable {
  std::array<Dd, 51> sin;
  std::array<Dd, 51> cos;
};
const SinCosTable& SinCosTables() {
  static const SinCosTable table = [] {
    SinCosTable t{};
    for (std::size_t j = 0; j < t.sin.size(); ++j) {
      const Dd c = Exact(static_cast<double>(j) * 0x1p-6);
      t.sin[j] = SinKernel(c);
      t.cos[j] = CosKernel(c);
    }
    return t;
  }();
  return table;
}

struct SinCos {
  Dd sin;
  Dd cos;
};

// sin r and cos r for |r| <= pi/4 + 2^-33, each with a relative error below
// 2^-66: with c = j/64 nearest |r| and s = |r| - c (|s| <= 2^-7), sin(c + s)
// = sin c + (sin c (cos s - 1) + cos c sin s) and cos(c + s) = cos c + (cos c
// (cos s - 1) - sin c sin s); sin s = s - s^3 (1/6 - ...) and cos s - 1 =
// -s^2 / 2 + s^4 (1/24 - ...), the brackets in doubles (errors below 2^-73.5
// and 2^-85, against |sin r| >= 2^-7.1 when j > 0; when j = 0 sin r is sin s
// itself, to 2^-66.8).
// Only the values asked for are formed; the other stays 0.
SinCos FastSinCos(Dd r, bool need_sin, bool need_cos) {
  const SinCosTable& table = SinCosTables();
  const bool negative = r.hi < 0;
  if (negative) r = Negate(r);
  // 50 at most, as |r| * 64 < 50.5; the bound only guards the table.
  const auto j = std::min<std::size_t>(static_cast<std::size_t>(r.hi * 64 + 0.5), 50);
  const Dd s = Add(TwoSum(r.hi, -static_cast<double>(j) * 0x1p-6), r.lo);
  const double sh = s.hi;
  const double s2 = sh * sh;
  const Dd sin_s = Add(s, sh * s2 * (-1.0 / 6 + s2 * (1.0 / 120 - s2 * (1.0 / 5040))));
  const Dd square = TwoProd(sh, sh);
  const Dd half_square = FastTwoSum(-0.5 * square.hi, -0.5 * square.lo - sh * s.lo);
  const Dd cos_s_m1 =
      Add(half_square, s2 * s2 * (1.0 / 24 - s2 * (1.0 / 720 - s2 * (1.0 / 40320))));
  const Dd& sin_c = table.sin[j];
  const Dd& cos_c = table.cos[j];
  SinCos result{};
  if (need_sin) result.sin = Add(sin_c, Add(Mul(sin_c, cos_s_m1), Mul(cos_c, sin_s)));
  if (need_cos) result.cos = Add(cos_c, Add(Mul(cos_c, cos_s_m1), Negate(Mul(sin_c, sin_s))));
  if (negative) result.sin = Negate(result.sin);
  return result;
}

// The values of sin, cos and tan at a finite a >= 2^-27 with the relative
// bound for RoundsSafely: the kernel's 2^-66, the division's 2^-103 for tan,
// and the reduction's error, which grows by at most 1.6 / |r| through each.
// From 2^19 on the full reduction serves, its r within 2^-104 of itself.
struct FastTrig {
  SinCos value;
  int quadrant;
  double rel;
};
// sin a is asked for by want = 0, cos a by 1, both by 2.
FastTrig FastTrigOf(double a, int want) {
  FastTrig t{};
  const Dd r = a < 0x1p19 ? CodyWaite(a, t.quadrant) : ReduceHalfPi(a, t.quadrant);
  // An odd quadrant swaps sin and cos.
  const bool need_sin = want == 2 || want == t.quadrant % 2;
  const bool need_cos = want == 2 || want != t.quadrant % 2;
  t.value = FastSinCos(r, need_sin, need_cos);
  t.rel = 0x1p-62 + 0x1p-110 / std::fabs(r.hi);
  return t;
}

// x^y for a finite x > 0 whose result is a normal double: exp(y log x), where
// the logarithm's relative error, at most 2^-67.5, becomes one of |y log x|
// 2^-67.5 in the power; the exponential adds 2^-76.
bool FastPow(double x, double y, double& result) {
  const Dd t = Mul(FastLog(x), y);
  if (!(std::fabs(t.hi) < 709)) return false;  // also a NaN from a huge y
  int scale = 0;
  const Dd v = FastExp(t, scale);
  if (scale < -1021 || scale > 1022) return false;
  if (!RoundsSafely(v, (std::fabs(t.hi) + 1) * 0x1p-65, result)) return false;
  result *= PowerOfTwo(scale);  // exact: v 2^scale lies in the normal range
  return true;
}

}  // namespace

double PortableSin(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return kNaN;
  const double a = std::fabs(x);
  if (a < 0x1p-27) return x;
  const FastTrig f = FastTrigOf(a, 0);
  Dd fast = f.quadrant % 2 == 0 ? f.value.sin : f.value.cos;
  if (f.quadrant >= 2) fast = Negate(fast);
  double rounded = 0;
  if (RoundsSafely(fast, f.rel, rounded)) return x < 0 ? -rounded : rounded;
  const Reduced reduced = Reduce(a);
  Dd v = reduced.quadrant % 2 == 0 ? SinKernel(reduced.r) : CosKernel(reduced.r);
  if (reduced.quadrant >= 2) v = Negate(v);
  const double s = Rounded(v);
  return x < 0 ? -s : s;
}

double PortableCos(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return kNaN;
  const double a = std::fabs(x);
  if (a < 0x1p-27) return 1;
  const FastTrig f = FastTrigOf(a, 1);
  Dd fast = f.quadrant % 2 == 0 ? f.value.cos : f.value.sin;
  if (f.quadrant == 1 || f.quadrant == 2) fast = Negate(fast);
  double rounded = 0;
  if (RoundsSafely(fast, f.rel, rounded)) return rounded;
  const Reduced reduced = Reduce(a);
  Dd v = reduced.quadrant % 2 == 0 ? CosKernel(reduced.r) : SinKernel(reduced.r);
  if (reduced.quadrant == 1 || reduced.quadrant == 2) v = Negate(v);
  return Rounded(v);
}

double PortableTan(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return kNaN;
  const double a = std::fabs(x);
  if (a < 0x1p-27) return x;
  const FastTrig f = FastTrigOf(a, 2);
  const SinCos& sc = f.value;
  const Dd fast = f.quadrant % 2 == 0 ? QuickDiv(sc.sin, sc.cos) : Negate(QuickDiv(sc.cos, sc.sin));
  double rounded = 0;
  if (RoundsSafely(fast, f.rel, rounded)) return x < 0 ? -rounded : rounded;
  const Reduced reduced = Reduce(a);
  const Dd s = SinKernel(reduced.r);
  const Dd c = CosKernel(reduced.r);
  const Dd v = reduced.quadrant % 2 == 0 ? Div(s, c) : Negate(Div(c, s));
  const double t = Rounded(v);
  return x < 0 ? -t : t;
}

double PortableAtan(double x) {
  if (std::isnan(x)) return x;
  const double a = std::fabs(x);
  if (a < 0x1p-27) return x;
  double fast = 0;
  if (a < 0x1p500 && RoundsSafely(FastAtan(a), 0x1p-64, fast)) return x < 0 ? -fast : fast;
  Dd v;
  if (a <= 1) {
    v = AtanKernel(Exact(a));
  } else {
    // atan a = pi/2 - atan(1/a); beyond 2^500 the reciprocal needs no low part.
    const Dd reciprocal = a < 0x1p500 ? Div(Exact(1), Exact(a)) : Exact(1 / a);
    v = Add(kHalfPi, Negate(AtanKernel(reciprocal)));
  }
  const double t = Rounded(v);
  return x < 0 ? -t : t;
}

double PortableExp(double x) {
  if (std::isnan(x)) return x;
  if (x > 710) return kInfinity;
  if (x < -746) return 0;
  if (std::fabs(x) < 0x1p-60) return 1;
  int scale = 0;
  double fast = 0;
  const Dd v = FastExp(Exact(x), scale);
  if (scale >= -1021 && scale <= 1022 && RoundsSafely(v, 0x1p-68, fast)) {
    return fast * PowerOfTwo(scale);  // exact in the normal range
  }
  return ExpOf(Exact(x));
}

double PortableLog(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return kNaN;
  if (x == 0) return -kInfinity;
  if (std::isinf(x)) return x;
  const Dd fast_log = FastLog(x);
  double fast = 0;
  if (fast_log.hi != 0 && RoundsSafely(fast_log, 0x1p-65, fast)) return fast;
  return Rounded(LogOf(x));
}

double PortablePow(double x, double y) {
  if (y == 0 || x == 1) return 1;
  if (std::isnan(x) || std::isnan(y)) return kNaN;
  const bool odd_y = IsOddInteger(y);
  if (x == 0) {
    if (y < 0) return odd_y ? std::copysign(kInfinity, x) : kInfinity;
    return odd_y ? x : 0.0;
  }
  if (std::isinf(y)) {
    const double a = std::fabs(x);
    if (a == 1) return 1;
    return (a < 1) == (y < 0) ? kInfinity : 0.0;
  }
  if (std::isinf(x)) {
    const double magnitude = y < 0 ? 0.0 : kInfinity;
    return x < 0 && odd_y ? -magnitude : magnitude;
  }
  if (x < 0 && !IsInteger(y)) return kNaN;
  const double a = std::fabs(x);
  const bool negate = x < 0 && odd_y;
  double result = 0;
  // A power that is exact or halfway never passes the fast path's rounding
  // test unless it is a normal double, which the fast path then returns.
  if (!FastPow(a, y, result) && !ExactPower(a, y, result)) {
    const Dd log_a = LogOf(a);
    const double estimate = y * log_a.hi;
    if (estimate > 710) {
      result = kInfinity;
    } else if (estimate < -746) {
      result = 0;
    } else {
      result = ExpOf(Mul(log_a, y));
    }
  }
  return negate ? -result : result;
}

std::span<const std::uint32_t> TwoOverPiWords() { return kTwoOverPi; }

}  // namespace matcalc
