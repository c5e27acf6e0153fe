// The iteration matrices of the three iterative solvers and their spectral
// radius, computed with plain loops, + - * / and square roots only (each
// correctly rounded on every platform), so that every platform prints the
// same bytes.
#pragma once

#include <limits>
#include <optional>

#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

// With A = D - L - U (D the diagonal, -L and -U the parts of A strictly
// below and above it), only rows and columns 1..n of `a` are used and every
// A(i,i) must be nonzero.
//
// Jacobi: B = I - D^-1 A, so B(i,j) = -A(i,j)/A(i,i) and B(i,i) = 0.
Matrix JacobiIterationMatrix(const Matrix& a, int n);
// Gauss-Seidel: B = (D - L)^-1 U, column by column by forward substitution.
// The n^3/2 multiply-adds are counted on `meter`.
Matrix GaussSeidelIterationMatrix(const Matrix& a, int n, WorkMeter* meter = nullptr);
// SOR: B = (D - wL)^-1 ((1 - w)D + wU), the same way.
Matrix SorIterationMatrix(const Matrix& a, int n, double omega, WorkMeter* meter = nullptr);

// The eigenvalues of an n x n matrix, real parts and imaginary parts (a
// complex pair stands in two neighbouring places, +im before -im).
struct Eigenvalues {
  Vector real;
  Vector imag;
};

// Why there is no spectral radius.
enum class RadiusFault {
  kNotFinite,      // an entry of the matrix is infinite or not a number
  kNoConvergence,  // the QR iteration did not split off an eigenvalue in 30 sweeps
  kWorkLimit       // the QR iteration took more work than it was allowed
};

struct RadiusResult {
  std::optional<double> radius;
  RadiusFault fault = RadiusFault::kNotFinite;
};

// The eigenvalues of `a` (rows and columns 1..n): reduction to upper
// Hessenberg form by elimination with row pivoting, then the shifted QR
// iteration with double shifts on the active block. Nothing when an entry is
// not finite, the iteration does not converge, or its sweeps would take
// more than `work_limit` multiply-adds (checked before each sweep: one
// sweep more, at most 5n(n + 5), may be taken).
// Multiply-adds are counted on `meter`.
std::optional<Eigenvalues> EigenvaluesOf(
    Matrix a, int n, RadiusFault* fault = nullptr, WorkMeter* meter = nullptr,
    double work_limit = std::numeric_limits<double>::infinity());

// The largest modulus among the eigenvalues of `a`.
RadiusResult SpectralRadius(const Matrix& a, int n, WorkMeter* meter = nullptr,
                            double work_limit = std::numeric_limits<double>::infinity());

// The modulus of re + i im, without overflow on the way.
double Modulus(double re, double im);

// The multiply-adds of the reduction to Hessenberg form of order n.
double HessenbergWork(double n);
// The multiply-adds of the QR sweeps at most for order n: 30 double-shift
// sweeps for every eigenvalue split off.
double SweepWorkBound(double n);
// The multiply-adds SpectralRadius takes at most for order n: the
// reduction and the sweeps.
double SpectralRadiusWorkBound(double n);

}  // namespace matcalc
