// The arithmetic of the orthogonal transformations: Householder reflections,
// Givens rotations, classical Gram-Schmidt, least squares, the polynomial
// fit's normal equations, the reduction to upper Hessenberg form and the
// implicit double-shift QR iteration. Plain functions over Matrix and Vector
// (1-based, their own rows and cols). Every sum starts at 0 and adds its
// terms in increasing index order, one at a time, so every platform computes
// the same bits. The commands print what these return.
#pragma once

#include <optional>
#include <vector>

#include "linalg/exact_readers.h"
#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

// The reflection H = I - 2 v vᵀ / (vᵀv) that maps x = A(first..last, col)
// onto alpha e1. v is stored in components first..last of a vector of
// a.rows() components (0 elsewhere).
struct Reflector {
  int first = 0;
  int last = 0;
  double sigma = 0;  // √(Σ x(i)²)
  double alpha = 0;  // −sign(x(1))·σ, sign(0) = 1
  Vector v;
  double vtv = 0;
  // x is 0 below its first component: there is nothing to reflect.
  bool skipped = true;
};

// The reflector of A(first..last, col).
Reflector MakeReflector(const Matrix& a, int col, int first, int last);

// A ← H·A on columns first_col..last_col: for each column the product vᵀa,
// then a − v·(2·(vᵀa)/(vᵀv)).
void ReflectRows(Matrix& a, const Reflector& h, int first_col, int last_col,
                 WorkMeter* meter = nullptr);
// A ← A·H on rows first_row..last_row: for each row the product a·v, then
// a − (2·(a·v)/(vᵀv))·vᵀ.
void ReflectColumns(Matrix& a, const Reflector& h, int first_row, int last_row,
                    WorkMeter* meter = nullptr);

// One step of the Householder QR: the reflector of column k below row k-1
// applied to columns k+1..n; column k becomes (alpha, 0, ..., 0) below row
// k-1 exactly, as the reflection makes it up to rounding.
Reflector HouseholderStep(Matrix& a, int k, WorkMeter* meter = nullptr);

// The steps of the Householder QR of an m x n matrix (m >= n):
// k = 1..min(m - 1, n).
int HouseholderSteps(int m, int n);

struct QrFactors {
  Matrix q;  // m x m
  Matrix r;  // m x n
};

// Q = H1·H2·… from the reflectors, in order, applied to the identity's
// columns from the right.
Matrix AccumulateReflectors(const std::vector<Reflector>& steps, int m, WorkMeter* meter = nullptr);

// A = QR by Householder reflections.
QrFactors HouseholderQr(const Matrix& a, WorkMeter* meter = nullptr);

// The plane rotation of rows j and i: r = √(a² + b²) with a = A(j,j),
// b = A(i,j), computed from the larger magnitude so that no square
// overflows or underflows; c = a/r, s = b/r.
struct Rotation {
  double c = 1;
  double s = 0;
  double r = 0;
};
Rotation RotationOf(double a, double b);

// Rows j and i of `a` become c·row j + s·row i and −s·row j + c·row i, on
// columns 1..a.cols().
void RotateRows(Matrix& a, int j, int i, const Rotation& g);
// Columns j and i of `q` become c·col j + s·col i and −s·col j + c·col i: Q ← Q·Gᵀ.
void RotateColumns(Matrix& q, int j, int i, const Rotation& g);

// A = QR by Givens rotations (each rotation with A(i, j) ≠ 0).
QrFactors GivensQr(const Matrix& a, WorkMeter* meter = nullptr);

// The matrix of zero entries below: max(m, n) · 2⁻⁵² · ‖A‖∞.
double ZeroTolerance(const Matrix& a);
// ‖A‖∞: the largest sum of magnitudes of a row.
double InfinityNorm(const Matrix& a);
// ‖A − QR‖∞.
double FactorResidual(const Matrix& a, const Matrix& q, const Matrix& r);

// Classical Gram-Schmidt on the columns of an m x n matrix, over doubles or
// exact fractions.
template <typename T>
struct GramSchmidtColumnOf {
  int column = 0;               // k
  std::vector<T> coefficients;  // (a_k, β_j)/(β_j, β_j) for the kept j < k, in order
  std::vector<int> against;     // those j
  BasicVector<T> beta;          // β_k
  T norm_squared = 0;           // (β_k, β_k)
  bool dependent = false;       // doubles: ‖β_k‖ ≤ tol; fractions: β_k = 0. Dropped.
};
using GramSchmidtColumn = GramSchmidtColumnOf<double>;
using ExactGramSchmidtColumn = GramSchmidtColumnOf<Rational>;

// The β_k and their coefficients (`tol` decides for doubles only).
template <typename T>
std::vector<GramSchmidtColumnOf<T>> Orthogonalize(const BasicMatrix<T>& a, double tol,
                                                  WorkMeter* meter = nullptr);

struct GramSchmidtResult {
  std::vector<GramSchmidtColumn> columns;
  Matrix q;  // m x r: the e_k of the kept columns
  Matrix r;  // r x n: QᵀA
};
GramSchmidtResult GramSchmidt(const Matrix& a, double tol, WorkMeter* meter = nullptr);

// The exact mode's decimals: Q (m x r) holds e_k = β_k/‖β_k‖ and R (r x n)
// the entries (β_k, a_j)/‖β_k‖ of QᵀA, each from the exact β_k and products
// rounded once to doubles, with β_k scaled exactly by a power of two first
// so that neither overflows nor underflows where the result does not. The
// entries of R below its diagonal are 0: a_j lies in the span of the β
// before it.
struct ExactGramSchmidtFactors {
  Matrix q;
  Matrix r;
};
ExactGramSchmidtFactors NormalizeExact(const std::vector<ExactGramSchmidtColumn>& columns,
                                       const RationalMatrix& a, WorkMeter* meter = nullptr);

// AᵀA (n x n) and Aᵀb for the m x n A in columns 1..n of `ab` and b in
// column n+1.
Matrix NormalMatrix(const Matrix& ab, int n, WorkMeter* meter = nullptr);
Vector NormalRightHandSide(const Matrix& ab, int n);

// The lower triangular L with L Lᵀ = S (n x n); nothing when a radicand is
// not above `zero` (the column in which, through `failed_step`).
std::optional<Matrix> CholeskyFactor(const Matrix& s, double zero, int* failed_step = nullptr,
                                     WorkMeter* meter = nullptr);

// The least squares solution by Householder QR of [A | b]: the reflectors
// applied to b as to A's columns, then R x = Qᵀb by back substitution.
struct QrLeastSquares {
  Matrix r;  // the reduced [R | Qᵀb], m x (n + 1)
  Vector x;
  int zero_pivot = 0;  // the first k with |R(k,k)| ≤ tol, or 0
};
QrLeastSquares LeastSquaresByQr(const Matrix& ab, int n, double tol, WorkMeter* meter = nullptr);

// ‖b − Ax‖₂ for [A | b] with n unknowns.
double ResidualNorm(const Matrix& ab, int n, const Vector& x);

// The polynomial fit of degree k to the points (x_p, y_p), p = 1..m: the
// normal equations G a = g with G(i,j) = Σ_p x_p^(i+j), g(i) = Σ_p x_p^i·y_p
// (i, j = 0..k, stored at 1..k+1), the powers by repeated multiplication.
struct FitEquations {
  Matrix g;  // (k+1) x (k+2): G and g beside it
};
FitEquations FitNormalEquations(const Vector& x, const Vector& y, int k,
                                WorkMeter* meter = nullptr);
// The number of distinct values among x_1..x_m.
int DistinctCount(const Vector& x);
// The solution of the (k+1) x (k+1) system in `g` by elimination with column
// pivoting; nothing when a pivot is 0.
std::optional<Vector> SolveByElimination(const Matrix& g, int n, WorkMeter* meter = nullptr);
// p(x) = Σ a_i x^i, the terms added in increasing i.
double Polynomial(const Vector& a, double x);
// Σ_p (p(x_p) − y_p)².
double SquaredError(const Vector& a, const Vector& x, const Vector& y);

// The reduction to upper Hessenberg form: the reflector of A(k+1..n, k),
// applied from the left (columns k+1..n, column k set to (alpha, 0, ...))
// and from the right (rows 1..n), for k = 1..n-2.
Reflector HessenbergStep(Matrix& a, int k, WorkMeter* meter = nullptr);

// An eigenvalue, or one of a complex pair re ± im·i (im > 0).
struct Eigenvalue {
  double re = 0;
  double im = 0;
};

// The eigenvalues of the 2 x 2 block at rows and columns q-1, q of `h`:
// two real ones (the larger first) or a pair.
std::pair<Eigenvalue, Eigenvalue> BlockEigenvalues(const Matrix& h, int q);

// The first row p of the active block ending at row q: the largest p ≤ q
// with p = 1 or |h(p,p-1)| ≤ eps·(|h(p-1,p-1)| + |h(p,p)|). The negligible
// h(p,p-1) is set to 0.
int ActiveBlockStart(Matrix& h, int q, double eps);

// One implicit double-shift QR step on the active block p..q (q - p >= 2)
// of the Hessenberg matrix h, the transformations applied to the whole
// matrix (columns to n, rows from 1) so that it tends to the real Schur form.
// `exceptional`: shifts from the last subdiagonal entries instead of the
// trailing 2 x 2 block, to break a cycle.
void DoubleShiftStep(Matrix& h, int p, int q, bool exceptional, WorkMeter* meter = nullptr);

// The eigenvalues in the order of the final list: real ones decreasing,
// then the pairs by decreasing modulus (each pair once, + first).
std::vector<Eigenvalue> SortedEigenvalues(std::vector<Eigenvalue> values);

// The whole QR method without a trace (for tests and benchmarks): the
// eigenvalues found in deflation order and the iterations taken; nothing
// when `limit` iterations did not suffice.
struct QrEigenResult {
  std::vector<Eigenvalue> values;
  int iterations = 0;
  Matrix schur;
};
std::optional<QrEigenResult> QrEigenvalues(Matrix a, double eps, int limit,
                                           WorkMeter* meter = nullptr);

}  // namespace matcalc
