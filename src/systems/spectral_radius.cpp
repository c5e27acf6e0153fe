#include "systems/spectral_radius.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace matcalc {
namespace {

// Sweeps of the QR iteration allowed for each eigenvalue split off; after 10
// and 20 an exceptional shift breaks a cycle the usual shifts may fall into.
constexpr int kSweepsPerEigenvalue = 30;

bool AllFinite(const Matrix& a, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (!std::isfinite(a(i, j))) return false;
    }
  }
  return true;
}

// The solution Y of T Y = R, T lower triangular with the diagonal of A and
// the entries `lower_scale` A(i,k) below it, for R given entry by entry.
// Row by row: each Y(i,j) is (R(i,j) - sum over k < i of T(i,k) Y(k,j)) /
// A(i,i), its sum taken in increasing k as in a forward substitution of
// column j, but all columns at once, along the rows of Y already found.
template <typename RightSide>
Matrix SolveLowerColumns(const Matrix& a, int n, double lower_scale, bool scale_lower,
                         RightSide right, WorkMeter* meter) {
  Matrix y(n, n);
  std::vector<double> sums(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) {
    std::fill(sums.begin(), sums.end(), 0.0);
    for (int k = 1; k <= i - 1; ++k) {
      const double t = scale_lower ? lower_scale * a(i, k) : a(i, k);
      const double* yk = y.row(k);
      for (int j = 1; j <= n; ++j) sums[j] = sums[j] + t * yk[j];
    }
    double* yi = y.row(i);
    for (int j = 1; j <= n; ++j) yi[j] = (right(i, j) - sums[j]) / a(i, i);
    Advance(meter, static_cast<double>(i - 1) * n);
  }
  return y;
}

// One step of the reduction below: for i = m+1..n in turn (y(i) = A(i,m-1) /
// pivot, none where y(i) is 0), row i less y(i) times row m from column m
// on, then column m plus y(i) times column i. Done row by row rather than
// step by step, each entry taking the same operations on the same values in
// the same order: row r's entries of column m gather y(i) A(r,i) in
// increasing i, taking A(r,i) as row r stands at step i (not yet reduced
// while i < r); row m's A(m,m), which every reduced row reads, is kept as it
// stood before each step. So the result is bit for bit that of the steps,
// with no walk down a column of a large matrix.
void EliminateBelowPivot(Matrix& a, int n, int m, double pivot, std::vector<double>& y,
                         std::vector<double>& before) {
  for (int i = m + 1; i <= n; ++i) y[i] = a(i, m - 1) / pivot;
  // Rows 1..m are never reduced in this step: only their column m changes.
  for (int r = 1; r <= m; ++r) {
    const double* ar = a.row(r);
    double sum = ar[m];
    for (int i = m + 1; i <= n; ++i) {
      if (r == m) before[i] = sum;
      if (y[i] != 0) sum = sum + y[i] * ar[i];
    }
    a(r, m) = sum;
  }
  const double* am = a.row(m);
  for (int r = m + 1; r <= n; ++r) {
    double* ar = a.row(r);
    double sum = ar[m];
    for (int i = m + 1; i < r; ++i) {
      if (y[i] != 0) sum = sum + y[i] * ar[i];
    }
    if (y[r] != 0) {
      sum = sum - y[r] * before[r];
      for (int j = m + 1; j <= n; ++j) ar[j] = ar[j] - y[r] * am[j];
      sum = sum + y[r] * ar[r];
    }
    for (int i = r + 1; i <= n; ++i) {
      if (y[i] != 0) sum = sum + y[i] * ar[i];
    }
    ar[m] = sum;
  }
}

// Reduces `a` to upper Hessenberg form by elimination with row pivoting (the
// largest magnitude in the column wins, the upper row on ties), a similarity
// that keeps the eigenvalues. The multipliers are not kept: everything below
// the subdiagonal ends as 0.
void ReduceToHessenberg(Matrix& a, int n, WorkMeter* meter) {
  std::vector<double> multipliers(static_cast<std::size_t>(n) + 1);
  std::vector<double> before(static_cast<std::size_t>(n) + 1);
  for (int m = 2; m < n; ++m) {
    double pivot = 0;
    int row = m;
    for (int j = m; j <= n; ++j) {
      if (std::fabs(a(j, m - 1)) > std::fabs(pivot)) {
        pivot = a(j, m - 1);
        row = j;
      }
    }
    if (row != m) {
      for (int j = m - 1; j <= n; ++j) std::swap(a(row, j), a(m, j));
      for (int j = 1; j <= n; ++j) std::swap(a(j, row), a(j, m));
    }
    if (pivot != 0) EliminateBelowPivot(a, n, m, pivot, multipliers, before);
    for (int i = m + 1; i <= n; ++i) a(i, m - 1) = 0;
    Advance(meter, static_cast<double>(n - m) * (2 * n - m + 1));
  }
}

// The eigenvalues of the upper Hessenberg matrix `h` by the shifted QR
// iteration with Francis double shifts, working on the active block only
// (no Schur vectors are wanted). A fault when an eigenvalue did not split
// off within kSweepsPerEigenvalue sweeps, or when the sweeps took more than
// `work_limit` multiply-adds.
std::optional<RadiusFault> HessenbergEigenvalues(Matrix& h, int n, Vector& wr, Vector& wi,
                                                 WorkMeter* meter, double work_limit) {
  double spent = 0;
  double norm = 0;
  for (int i = 1; i <= n; ++i) {
    for (int j = (i > 1 ? i - 1 : 1); j <= n; ++j) norm = norm + std::fabs(h(i, j));
  }
  int nn = n;
  double shift = 0;  // the exceptional shifts applied so far
  while (nn >= 1) {
    int sweeps = 0;
    int l = 0;
    do {
      // The lowest l whose subdiagonal entry is negligible beside its two
      // diagonal neighbours splits the active block off.
      for (l = nn; l >= 2; --l) {
        double s = std::fabs(h(l - 1, l - 1)) + std::fabs(h(l, l));
        if (s == 0) s = norm;
        const double t = std::fabs(h(l, l - 1)) + s;
        if (t == s) {
          h(l, l - 1) = 0;
          break;
        }
      }
      double x = h(nn, nn);
      if (l == nn) {
        // One real eigenvalue.
        wr(nn) = x + shift;
        wi(nn) = 0;
        --nn;
        continue;
      }
      double y = h(nn - 1, nn - 1);
      double w = h(nn, nn - 1) * h(nn - 1, nn);
      if (l == nn - 1) {
        // A 2 x 2 block: two real eigenvalues or a complex pair.
        const double p = 0.5 * (y - x);
        const double q = p * p + w;
        double z = std::sqrt(std::fabs(q));
        x = x + shift;
        if (q >= 0) {
          z = p + std::copysign(z, p);
          wr(nn - 1) = x + z;
          wr(nn) = x + z;
          if (z != 0) wr(nn) = x - w / z;
          wi(nn - 1) = 0;
          wi(nn) = 0;
        } else {
          wr(nn - 1) = x + p;
          wr(nn) = x + p;
          wi(nn - 1) = z;
          wi(nn) = -z;
        }
        nn -= 2;
        continue;
      }
      if (sweeps == kSweepsPerEigenvalue) return RadiusFault::kNoConvergence;
      if (spent > work_limit) return RadiusFault::kWorkLimit;
      if (sweeps == 10 || sweeps == 20) {
        shift = shift + x;
        for (int i = 1; i <= nn; ++i) h(i, i) = h(i, i) - x;
        const double s = std::fabs(h(nn, nn - 1)) + std::fabs(h(nn - 1, nn - 2));
        x = 0.75 * s;
        y = x;
        w = -0.4375 * s * s;
      }
      ++sweeps;
      // Look for two consecutive small subdiagonal entries from the bottom;
      // the sweep starts at m.
      int m = nn - 2;
      double p = 0;
      double q = 0;
      double r = 0;
      for (; m >= l; --m) {
        const double z = h(m, m);
        r = x - z;
        double s = y - z;
        p = (r * s - w) / h(m + 1, m) + h(m, m + 1);
        q = h(m + 1, m + 1) - z - r - s;
        r = h(m + 2, m + 1);
        s = std::fabs(p) + std::fabs(q) + std::fabs(r);
        p = p / s;
        q = q / s;
        r = r / s;
        if (m == l) break;
        const double u = std::fabs(h(m, m - 1)) * (std::fabs(q) + std::fabs(r));
        const double v =
            std::fabs(p) * (std::fabs(h(m - 1, m - 1)) + std::fabs(z) + std::fabs(h(m + 1, m + 1)));
        if (u + v == v) break;
      }
      for (int i = m + 2; i <= nn; ++i) {
        h(i, i - 2) = 0;
        if (i != m + 2) h(i, i - 3) = 0;
      }
      // The double-shift sweep: chase the bulge down with 3 x 3 reflections.
      double work = 0;
      for (int k = m; k <= nn - 1; ++k) {
        if (k != m) {
          p = h(k, k - 1);
          q = h(k + 1, k - 1);
          r = k != nn - 1 ? h(k + 2, k - 1) : 0;
          x = std::fabs(p) + std::fabs(q) + std::fabs(r);
          if (x != 0) {
            p = p / x;
            q = q / x;
            r = r / x;
          }
        }
        const double s = std::copysign(std::sqrt(p * p + q * q + r * r), p);
        if (s == 0) continue;
        if (k == m) {
          if (l != m) h(k, k - 1) = -h(k, k - 1);
        } else {
          h(k, k - 1) = -s * x;
        }
        p = p + s;
        x = p / s;
        y = q / s;
        const double z = r / s;
        q = q / p;
        r = r / p;
        for (int j = k; j <= nn; ++j) {
          double t = h(k, j) + q * h(k + 1, j);
          if (k != nn - 1) {
            t = t + r * h(k + 2, j);
            h(k + 2, j) = h(k + 2, j) - t * z;
          }
          h(k + 1, j) = h(k + 1, j) - t * y;
          h(k, j) = h(k, j) - t * x;
        }
        const int last = nn < k + 3 ? nn : k + 3;
        for (int i = l; i <= last; ++i) {
          double t = x * h(i, k) + y * h(i, k + 1);
          if (k != nn - 1) {
            t = t + z * h(i, k + 2);
            h(i, k + 2) = h(i, k + 2) - t * r;
          }
          h(i, k + 1) = h(i, k + 1) - t * q;
          h(i, k) = h(i, k) - t;
        }
        work += 5.0 * ((nn - k + 1) + (last - l + 1));
      }
      Advance(meter, work);
      spent += work;
    } while (l < nn - 1);
  }
  return std::nullopt;
}

}  // namespace

Matrix JacobiIterationMatrix(const Matrix& a, int n) {
  Matrix b(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (j != i) b(i, j) = -(a(i, j) / a(i, i));
    }
  }
  return b;
}

Matrix GaussSeidelIterationMatrix(const Matrix& a, int n, WorkMeter* meter) {
  // U holds -A(i,j) above the diagonal; D - L is the lower triangle of A.
  return SolveLowerColumns(
      a, n, 1, false, [&a](int i, int j) { return j > i ? -a(i, j) : 0.0; }, meter);
}

Matrix SorIterationMatrix(const Matrix& a, int n, double omega, WorkMeter* meter) {
  // D - wL has w A(i,k) below the diagonal; (1 - w)D + wU has (1 - w) A(i,i)
  // on it and -w A(i,j) above it.
  const double keep = 1 - omega;
  return SolveLowerColumns(
      a, n, omega, true,
      [&a, omega, keep](int i, int j) {
        if (j == i) return keep * a(i, i);
        return j > i ? -(omega * a(i, j)) : 0.0;
      },
      meter);
}

std::optional<Eigenvalues> EigenvaluesOf(Matrix a, int n, RadiusFault* fault, WorkMeter* meter,
                                         double work_limit) {
  if (!AllFinite(a, n)) {
    if (fault != nullptr) *fault = RadiusFault::kNotFinite;
    return std::nullopt;
  }
  ReduceToHessenberg(a, n, meter);
  Eigenvalues values{Vector(n), Vector(n)};
  if (const std::optional<RadiusFault> failed =
          HessenbergEigenvalues(a, n, values.real, values.imag, meter, work_limit)) {
    if (fault != nullptr) *fault = *failed;
    return std::nullopt;
  }
  return values;
}

RadiusResult SpectralRadius(const Matrix& a, int n, WorkMeter* meter, double work_limit) {
  RadiusResult result;
  const std::optional<Eigenvalues> values = EigenvaluesOf(a, n, &result.fault, meter, work_limit);
  if (!values) return result;
  double radius = 0;
  for (int i = 1; i <= n; ++i) {
    const double modulus = Modulus(values->real(i), values->imag(i));
    if (modulus > radius) radius = modulus;
  }
  // A sweep that overflowed leaves values that are not finite.
  for (int i = 1; i <= n; ++i) {
    if (!std::isfinite(values->real(i)) || !std::isfinite(values->imag(i))) {
      result.fault = RadiusFault::kNoConvergence;
      return result;
    }
  }
  result.radius = radius;
  return result;
}

double Modulus(double re, double im) {
  const double a = std::fabs(re);
  const double b = std::fabs(im);
  const double m = a > b ? a : b;
  if (m == 0 || b == 0) return a;
  if (a == 0) return b;
  const double x = a / m;
  const double y = b / m;
  return m * std::sqrt(x * x + y * y);
}

double HessenbergWork(double n) { return 5 * n * n * n / 6; }

double SweepWorkBound(double n) {
  // A sweep over an active block of w rows takes about 5w^2 multiply-adds,
  // and the block shrinks by one eigenvalue at least every 30 sweeps:
  // 30 * 5 * (1 + 4 + ... + n^2) in all.
  return kSweepsPerEigenvalue * 5 * n * (n + 1) * (2 * n + 1) / 6;
}

double SpectralRadiusWorkBound(double n) { return HessenbergWork(n) + SweepWorkBound(n); }

}  // namespace matcalc
