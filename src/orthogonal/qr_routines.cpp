#include "orthogonal/qr_routines.h"

#include <algorithm>
#include <cmath>

namespace matcalc {
namespace {

double SignOf(double x) { return x < 0 ? -1.0 : 1.0; }

// The reflector of the values x(first..last) held in `x` (a vector of
// `size` components).
Reflector ReflectorOf(const Vector& x, int first, int last, int size) {
  Reflector h;
  h.first = first;
  h.last = last;
  h.v = Vector(size);
  double squares = 0;
  bool below = false;
  for (int i = first; i <= last; ++i) {
    squares = squares + x(i) * x(i);
    if (i > first && x(i) != 0) below = true;
  }
  h.sigma = std::sqrt(squares);
  h.alpha = -SignOf(x(first)) * h.sigma;
  if (!below || h.sigma == 0) return h;
  for (int i = first; i <= last; ++i) h.v(i) = x(i);
  h.v(first) = x(first) - h.alpha;
  double vtv = 0;
  for (int i = first; i <= last; ++i) vtv = vtv + h.v(i) * h.v(i);
  h.vtv = vtv;
  h.skipped = vtv == 0;
  return h;
}

}  // namespace

Reflector MakeReflector(const Matrix& a, int col, int first, int last) {
  Vector x(a.rows());
  for (int i = first; i <= last; ++i) x(i) = a(i, col);
  return ReflectorOf(x, first, last, a.rows());
}

void ReflectRows(Matrix& a, const Reflector& h, int first_col, int last_col, WorkMeter* meter) {
  if (h.skipped) return;
  for (int j = first_col; j <= last_col; ++j) {
    double w = 0;
    for (int i = h.first; i <= h.last; ++i) w = w + h.v(i) * a(i, j);
    const double f = 2 * w / h.vtv;
    for (int i = h.first; i <= h.last; ++i) a(i, j) = a(i, j) - h.v(i) * f;
  }
  Advance(meter, 2.0 * (last_col - first_col + 1) * (h.last - h.first + 1));
}

void ReflectColumns(Matrix& a, const Reflector& h, int first_row, int last_row, WorkMeter* meter) {
  if (h.skipped) return;
  for (int i = first_row; i <= last_row; ++i) {
    double* row = a.row(i);
    double w = 0;
    for (int j = h.first; j <= h.last; ++j) w = w + row[j] * h.v(j);
    const double f = 2 * w / h.vtv;
    for (int j = h.first; j <= h.last; ++j) row[j] = row[j] - f * h.v(j);
  }
  Advance(meter, 2.0 * (last_row - first_row + 1) * (h.last - h.first + 1));
}

namespace {

// Column `col` after its own reflection: alpha at `first`, zeros below.
void SetReflectedColumn(Matrix& a, const Reflector& h, int col) {
  if (h.skipped) return;
  a(h.first, col) = h.alpha;
  for (int i = h.first + 1; i <= h.last; ++i) a(i, col) = 0;
}

}  // namespace

Reflector HouseholderStep(Matrix& a, int k, WorkMeter* meter) {
  const Reflector h = MakeReflector(a, k, k, a.rows());
  ReflectRows(a, h, k + 1, a.cols(), meter);
  SetReflectedColumn(a, h, k);
  return h;
}

int HouseholderSteps(int m, int n) { return std::min(m - 1, n); }

Matrix AccumulateReflectors(const std::vector<Reflector>& steps, int m, WorkMeter* meter) {
  Matrix q(m, m);
  for (int i = 1; i <= m; ++i) q(i, i) = 1;
  for (const Reflector& h : steps) ReflectColumns(q, h, 1, m, meter);
  return q;
}

QrFactors HouseholderQr(const Matrix& a, WorkMeter* meter) {
  Matrix r = a;
  std::vector<Reflector> steps;
  for (int k = 1; k <= HouseholderSteps(a.rows(), a.cols()); ++k) {
    steps.push_back(HouseholderStep(r, k, meter));
  }
  return {AccumulateReflectors(steps, a.rows(), meter), std::move(r)};
}

Rotation RotationOf(double a, double b) {
  Rotation g;
  const double big = std::max(std::fabs(a), std::fabs(b));
  if (big == 0) return g;
  const double as = a / big;
  const double bs = b / big;
  g.r = big * std::sqrt(as * as + bs * bs);
  g.c = a / g.r;
  g.s = b / g.r;
  return g;
}

void RotateRows(Matrix& a, int j, int i, const Rotation& g) {
  double* rj = a.row(j);
  double* ri = a.row(i);
  for (int col = 1; col <= a.cols(); ++col) {
    const double x = rj[col];
    const double y = ri[col];
    rj[col] = g.c * x + g.s * y;
    ri[col] = -g.s * x + g.c * y;
  }
}

void RotateColumns(Matrix& q, int j, int i, const Rotation& g) {
  for (int row = 1; row <= q.rows(); ++row) {
    const double x = q(row, j);
    const double y = q(row, i);
    q(row, j) = g.c * x + g.s * y;
    q(row, i) = -g.s * x + g.c * y;
  }
}

QrFactors GivensQr(const Matrix& a, WorkMeter* meter) {
  const int m = a.rows();
  QrFactors f{Matrix(m, m), a};
  for (int i = 1; i <= m; ++i) f.q(i, i) = 1;
  for (int j = 1; j <= a.cols(); ++j) {
    for (int i = j + 1; i <= m; ++i) {
      if (f.r(i, j) == 0) continue;
      const Rotation g = RotationOf(f.r(j, j), f.r(i, j));
      RotateRows(f.r, j, i, g);
      f.r(i, j) = 0;
      RotateColumns(f.q, j, i, g);
      Advance(meter, 4.0 * (a.cols() + m));
    }
  }
  return f;
}

double InfinityNorm(const Matrix& a) {
  double best = 0;
  for (int i = 1; i <= a.rows(); ++i) {
    double sum = 0;
    for (int j = 1; j <= a.cols(); ++j) sum = sum + std::fabs(a(i, j));
    best = std::max(best, sum);
  }
  return best;
}

double ZeroTolerance(const Matrix& a) {
  return std::max(a.rows(), a.cols()) * std::ldexp(1.0, -52) * InfinityNorm(a);
}

double FactorResidual(const Matrix& a, const Matrix& q, const Matrix& r) {
  double best = 0;
  for (int i = 1; i <= a.rows(); ++i) {
    double sum = 0;
    for (int j = 1; j <= a.cols(); ++j) {
      double qr = 0;
      for (int k = 1; k <= q.cols(); ++k) qr = qr + q(i, k) * r(k, j);
      sum = sum + std::fabs(a(i, j) - qr);
    }
    best = std::max(best, sum);
  }
  return best;
}

namespace {

// Whether β_k counts as zero: in doubles its norm within the tolerance (or
// not a number), in fractions exactly zero.
bool Negligible(double norm_squared, double tol) { return !(std::sqrt(norm_squared) > tol); }
bool Negligible(const Rational& norm_squared, double /*tol*/) { return norm_squared == 0; }

}  // namespace

template <typename T>
std::vector<GramSchmidtColumnOf<T>> Orthogonalize(const BasicMatrix<T>& a, double tol,
                                                  WorkMeter* meter) {
  const int m = a.rows();
  const int n = a.cols();
  std::vector<GramSchmidtColumnOf<T>> columns;
  std::vector<int> kept;  // indices into columns
  for (int k = 1; k <= n; ++k) {
    GramSchmidtColumnOf<T> column;
    column.column = k;
    // β_k = a_k − Σ c_j β_j: the sum from 0 over the kept j in increasing
    // order, then subtracted from a_k once.
    BasicVector<T> sum(m);
    for (const int index : kept) {
      const GramSchmidtColumnOf<T>& earlier = columns[static_cast<std::size_t>(index)];
      T dot = 0;
      for (int i = 1; i <= m; ++i) dot = dot + a(i, k) * earlier.beta(i);
      const T coefficient = dot / earlier.norm_squared;
      for (int i = 1; i <= m; ++i) sum(i) = sum(i) + coefficient * earlier.beta(i);
      column.coefficients.push_back(coefficient);
      column.against.push_back(earlier.column);
    }
    column.beta = BasicVector<T>(m);
    for (int i = 1; i <= m; ++i) column.beta(i) = a(i, k) - sum(i);
    T squares = 0;
    for (int i = 1; i <= m; ++i) squares = squares + column.beta(i) * column.beta(i);
    column.norm_squared = squares;
    column.dependent = Negligible(squares, tol);
    if (!column.dependent) kept.push_back(static_cast<int>(columns.size()));
    columns.push_back(std::move(column));
    Advance(meter, 2.0 * m * (static_cast<double>(kept.size()) + 1));
  }
  return columns;
}

template std::vector<GramSchmidtColumnOf<double>> Orthogonalize(const Matrix&, double, WorkMeter*);
template std::vector<GramSchmidtColumnOf<Rational>> Orthogonalize(const RationalMatrix&, double,
                                                                  WorkMeter*);

GramSchmidtResult GramSchmidt(const Matrix& a, double tol, WorkMeter* meter) {
  const int m = a.rows();
  const int n = a.cols();
  GramSchmidtResult result;
  result.columns = Orthogonalize(a, tol, meter);
  std::vector<int> kept;
  for (std::size_t index = 0; index < result.columns.size(); ++index) {
    if (!result.columns[index].dependent) kept.push_back(static_cast<int>(index));
  }
  const int rank = static_cast<int>(kept.size());
  result.q = Matrix(m, rank);
  for (int c = 1; c <= rank; ++c) {
    const GramSchmidtColumn& column = result.columns[static_cast<std::size_t>(kept[c - 1])];
    const double norm = std::sqrt(column.norm_squared);
    for (int i = 1; i <= m; ++i) result.q(i, c) = column.beta(i) / norm;
  }
  result.r = Matrix(rank, n);
  for (int c = 1; c <= rank; ++c) {
    for (int j = 1; j <= n; ++j) {
      double sum = 0;
      for (int i = 1; i <= m; ++i) sum = sum + result.q(i, c) * a(i, j);
      result.r(c, j) = sum;
    }
  }
  Advance(meter, static_cast<double>(rank) * n * m);
  return result;
}

namespace {

// 2^e exactly, e of either sign.
Rational PowerOfTwo(long long e) {
  const BigInt p = BigInt(1) << static_cast<unsigned>(e < 0 ? -e : e);
  return e < 0 ? MakeRational(BigInt(1), p) : Rational(p);
}

// About log2 |r| for r ≠ 0.
long long Exponent(const Rational& r) {
  return static_cast<long long>(boost::multiprecision::msb(abs(Numerator(r)))) -
         static_cast<long long>(boost::multiprecision::msb(Denominator(r)));
}

}  // namespace

ExactGramSchmidtFactors NormalizeExact(const std::vector<ExactGramSchmidtColumn>& columns,
                                       const RationalMatrix& a, WorkMeter* meter) {
  const int m = a.rows();
  const int n = a.cols();
  std::vector<const ExactGramSchmidtColumn*> kept;
  for (const ExactGramSchmidtColumn& column : columns) {
    if (!column.dependent) kept.push_back(&column);
  }
  const int rank = static_cast<int>(kept.size());
  ExactGramSchmidtFactors result{Matrix(m, rank), Matrix(rank, n)};
  for (int c = 1; c <= rank; ++c) {
    const ExactGramSchmidtColumn& column = *kept[static_cast<std::size_t>(c - 1)];
    // β/2^e has its largest component between 1/2 and 2 or so: its squares
    // sum to a double between 1/4 and 4m.
    long long e = 0;
    bool first = true;
    for (int i = 1; i <= m; ++i) {
      if (column.beta(i) == 0) continue;
      const long long x = Exponent(column.beta(i));
      if (first || x > e) e = x;
      first = false;
    }
    const Rational down = PowerOfTwo(-e);
    const double norm = std::sqrt(RationalToDouble(column.norm_squared * down * down));
    for (int i = 1; i <= m; ++i) result.q(i, c) = RationalToDouble(column.beta(i) * down) / norm;
    for (int j = 1; j <= n; ++j) {
      Rational dot = 0;
      for (int i = 1; i <= m; ++i) dot = dot + column.beta(i) * a(i, j);
      result.r(c, j) = RationalToDouble(dot * down) / norm;
    }
    Advance(meter, static_cast<double>(n + 2) * m);
  }
  return result;
}

Matrix NormalMatrix(const Matrix& ab, int n, WorkMeter* meter) {
  const int m = ab.rows();
  Matrix s(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      double sum = 0;
      for (int p = 1; p <= m; ++p) sum = sum + ab(p, i) * ab(p, j);
      s(i, j) = sum;
    }
    Advance(meter, static_cast<double>(n) * m);
  }
  return s;
}

Vector NormalRightHandSide(const Matrix& ab, int n) {
  Vector g(n);
  for (int i = 1; i <= n; ++i) {
    double sum = 0;
    for (int p = 1; p <= ab.rows(); ++p) sum = sum + ab(p, i) * ab(p, n + 1);
    g(i) = sum;
  }
  return g;
}

std::optional<Matrix> CholeskyFactor(const Matrix& s, double zero, int* failed_step,
                                     WorkMeter* meter) {
  const int n = s.rows();
  Matrix l(n, n);
  for (int j = 1; j <= n; ++j) {
    double squares = 0;
    for (int k = 1; k < j; ++k) squares = squares + l(j, k) * l(j, k);
    const double radicand = s(j, j) - squares;
    if (!(radicand > zero)) {
      if (failed_step != nullptr) *failed_step = j;
      return std::nullopt;
    }
    l(j, j) = std::sqrt(radicand);
    for (int i = j + 1; i <= n; ++i) {
      double sum = 0;
      for (int k = 1; k < j; ++k) sum = sum + l(i, k) * l(j, k);
      l(i, j) = (s(i, j) - sum) / l(j, j);
    }
    Advance(meter, static_cast<double>(n - j + 1) * j);
  }
  return l;
}

QrLeastSquares LeastSquaresByQr(const Matrix& ab, int n, double tol, WorkMeter* meter) {
  QrLeastSquares result{ab, Vector(n), 0};
  const int m = ab.rows();
  for (int k = 1; k <= HouseholderSteps(m, n); ++k) HouseholderStep(result.r, k, meter);
  for (int k = 1; k <= n; ++k) {
    if (!(std::fabs(result.r(k, k)) > tol)) {
      result.zero_pivot = k;
      return result;
    }
  }
  for (int i = n; i >= 1; --i) {
    double sum = 0;
    for (int j = i + 1; j <= n; ++j) sum = sum + result.r(i, j) * result.x(j);
    result.x(i) = (result.r(i, n + 1) - sum) / result.r(i, i);
  }
  return result;
}

double ResidualNorm(const Matrix& ab, int n, const Vector& x) {
  double squares = 0;
  for (int i = 1; i <= ab.rows(); ++i) {
    double ax = 0;
    for (int j = 1; j <= n; ++j) ax = ax + ab(i, j) * x(j);
    const double r = ab(i, n + 1) - ax;
    squares = squares + r * r;
  }
  return std::sqrt(squares);
}

FitEquations FitNormalEquations(const Vector& x, const Vector& y, int k, WorkMeter* meter) {
  const int m = x.size();
  FitEquations f{Matrix(k + 1, k + 2)};
  // Σ x^e for e = 0..2k, and Σ x^i·y for i = 0..k, each over the points in order.
  std::vector<double> power_sums(static_cast<std::size_t>(2 * k + 1), 0.0);
  for (int e = 0; e <= 2 * k; ++e) {
    double sum = 0;
    for (int p = 1; p <= m; ++p) {
      double power = 1;
      for (int t = 1; t <= e; ++t) power = power * x(p);
      sum = sum + power;
    }
    power_sums[static_cast<std::size_t>(e)] = sum;
    Advance(meter, static_cast<double>(m) * (e + 1));
  }
  for (int i = 0; i <= k; ++i) {
    for (int j = 0; j <= k; ++j) f.g(i + 1, j + 1) = power_sums[static_cast<std::size_t>(i + j)];
    double sum = 0;
    for (int p = 1; p <= m; ++p) {
      double power = 1;
      for (int t = 1; t <= i; ++t) power = power * x(p);
      sum = sum + power * y(p);
    }
    f.g(i + 1, k + 2) = sum;
    Advance(meter, static_cast<double>(m) * (i + 1));
  }
  return f;
}

int DistinctCount(const Vector& x) {
  std::vector<double> values;
  for (int p = 1; p <= x.size(); ++p) values.push_back(x(p));
  std::sort(values.begin(), values.end());
  return static_cast<int>(std::unique(values.begin(), values.end()) - values.begin());
}

std::optional<Vector> SolveByElimination(const Matrix& g, int n, WorkMeter* meter) {
  Matrix a = g;
  for (int k = 1; k <= n; ++k) {
    int pivot = k;
    for (int i = k + 1; i <= n; ++i) {
      if (std::fabs(a(i, k)) > std::fabs(a(pivot, k))) pivot = i;
    }
    if (!(a(pivot, k) != 0) || a(pivot, k) != a(pivot, k)) return std::nullopt;
    if (pivot != k) {
      for (int j = 1; j <= n + 1; ++j) std::swap(a(k, j), a(pivot, j));
    }
    for (int i = k + 1; i <= n; ++i) {
      const double factor = a(i, k) / a(k, k);
      for (int j = k; j <= n + 1; ++j) a(i, j) = a(i, j) - factor * a(k, j);
    }
    Advance(meter, static_cast<double>(n - k) * (n - k + 2));
  }
  Vector x(n);
  for (int i = n; i >= 1; --i) {
    double sum = 0;
    for (int j = i + 1; j <= n; ++j) sum = sum + a(i, j) * x(j);
    x(i) = (a(i, n + 1) - sum) / a(i, i);
  }
  return x;
}

double Polynomial(const Vector& a, double x) {
  double sum = 0;
  double power = 1;
  for (int i = 1; i <= a.size(); ++i) {
    sum = sum + a(i) * power;
    power = power * x;
  }
  return sum;
}

double SquaredError(const Vector& a, const Vector& x, const Vector& y) {
  double sum = 0;
  for (int p = 1; p <= x.size(); ++p) {
    const double e = Polynomial(a, x(p)) - y(p);
    sum = sum + e * e;
  }
  return sum;
}

Reflector HessenbergStep(Matrix& a, int k, WorkMeter* meter) {
  const int n = a.rows();
  const Reflector h = MakeReflector(a, k, k + 1, n);
  ReflectRows(a, h, k + 1, n, meter);
  SetReflectedColumn(a, h, k);
  ReflectColumns(a, h, 1, n, meter);
  return h;
}

std::pair<Eigenvalue, Eigenvalue> BlockEigenvalues(const Matrix& h, int q) {
  const double a = h(q - 1, q - 1);
  const double b = h(q - 1, q);
  const double c = h(q, q - 1);
  const double d = h(q, q);
  const double p = (a - d) / 2;
  const double disc = p * p + b * c;
  if (disc >= 0) {
    // The root of larger magnitude first, the other from the product, so
    // that neither is lost to cancellation.
    const double z = p + SignOf(p) * std::sqrt(disc);
    const double first = d + z;
    const double second = z == 0 ? d : d - b * c / z;
    return {Eigenvalue{std::max(first, second), 0}, Eigenvalue{std::min(first, second), 0}};
  }
  const double re = d + p;
  const double im = std::sqrt(-disc);
  return {Eigenvalue{re, im}, Eigenvalue{re, -im}};
}

int ActiveBlockStart(Matrix& h, int q, double eps) {
  for (int p = q; p > 1; --p) {
    const double sub = std::fabs(h(p, p - 1));
    if (sub <= eps * (std::fabs(h(p - 1, p - 1)) + std::fabs(h(p, p)))) {
      h(p, p - 1) = 0;
      return p;
    }
  }
  return 1;
}

void DoubleShiftStep(Matrix& h, int p, int q, bool exceptional, WorkMeter* meter) {
  const int n = h.rows();
  // The shifts: the eigenvalues of the trailing 2 x 2 block, through their
  // sum s and product t.
  double s = h(q - 1, q - 1) + h(q, q);
  double t = h(q - 1, q - 1) * h(q, q) - h(q - 1, q) * h(q, q - 1);
  if (exceptional) {
    // A 2 x 2 block made of the last subdiagonal entries' size, unlike the
    // matrix's own: it moves the iteration off a cycle of the usual shifts.
    const double size = std::fabs(h(q, q - 1)) + std::fabs(h(q - 1, q - 2));
    const double h11 = 0.75 * size + h(q, q);
    const double h12 = -0.4375 * size;
    s = h11 + h11;
    t = h11 * h11 - h12 * size;
  }
  // The first column of (H − σ1 I)(H − σ2 I): three non-zero entries.
  double x = h(p, p) * h(p, p) + h(p, p + 1) * h(p + 1, p) - s * h(p, p) + t;
  double y = h(p + 1, p) * (h(p, p) + h(p + 1, p + 1) - s);
  double z = h(p + 1, p) * h(p + 2, p + 1);
  Vector values(n);
  for (int k = p - 1; k <= q - 3; ++k) {
    values(k + 1) = x;
    values(k + 2) = y;
    values(k + 3) = z;
    const Reflector r = ReflectorOf(values, k + 1, k + 3, n);
    values(k + 1) = values(k + 2) = values(k + 3) = 0;
    if (k >= p) {
      ReflectRows(h, r, k + 1, n, meter);
      SetReflectedColumn(h, r, k);
    } else {
      ReflectRows(h, r, p, n, meter);
    }
    ReflectColumns(h, r, 1, std::min(k + 4, q), meter);
    x = h(k + 2, k + 1);
    y = h(k + 3, k + 1);
    if (k < q - 3) z = h(k + 4, k + 1);
  }
  values(q - 1) = x;
  values(q) = y;
  const Reflector r = ReflectorOf(values, q - 1, q, n);
  ReflectRows(h, r, q - 1, n, meter);
  SetReflectedColumn(h, r, q - 2);
  ReflectColumns(h, r, 1, q, meter);
}

std::vector<Eigenvalue> SortedEigenvalues(std::vector<Eigenvalue> values) {
  std::vector<Eigenvalue> real;
  std::vector<Eigenvalue> pairs;
  for (const Eigenvalue& e : values) {
    if (e.im == 0) real.push_back(e);
    if (e.im > 0) pairs.push_back(e);
  }
  std::stable_sort(real.begin(), real.end(),
                   [](const Eigenvalue& a, const Eigenvalue& b) { return a.re > b.re; });
  const auto modulus_squared = [](const Eigenvalue& e) { return e.re * e.re + e.im * e.im; };
  std::stable_sort(pairs.begin(), pairs.end(), [&](const Eigenvalue& a, const Eigenvalue& b) {
    return modulus_squared(a) > modulus_squared(b);
  });
  std::vector<Eigenvalue> sorted = real;
  for (const Eigenvalue& e : pairs) {
    sorted.push_back(e);
    sorted.push_back(Eigenvalue{e.re, -e.im});
  }
  return sorted;
}

std::optional<QrEigenResult> QrEigenvalues(Matrix a, double eps, int limit, WorkMeter* meter) {
  const int n = a.rows();
  for (int k = 1; k <= n - 2; ++k) HessenbergStep(a, k, meter);
  QrEigenResult result;
  int q = n;
  int block_iterations = 0;
  while (q >= 1) {
    const int p = ActiveBlockStart(a, q, eps);
    if (p == q) {
      result.values.push_back({a(q, q), 0});
      q -= 1;
      block_iterations = 0;
      continue;
    }
    if (p == q - 1) {
      const auto [first, second] = BlockEigenvalues(a, q);
      result.values.push_back(first);
      result.values.push_back(second);
      q -= 2;
      block_iterations = 0;
      continue;
    }
    if (result.iterations >= limit) return std::nullopt;
    ++result.iterations;
    ++block_iterations;
    DoubleShiftStep(a, p, q, block_iterations % 10 == 0, meter);
  }
  result.schur = std::move(a);
  return result;
}

}  // namespace matcalc
