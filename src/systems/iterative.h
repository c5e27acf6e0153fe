// The steps of the three iterative solvers of Ax = b and what a run of them
// needs, apart from the commands that trace them.
#pragma once

#include "frame/frame.h"
#include "linalg/matrix.h"

namespace matcalc {

// The iteration limit N offered by the prompt.
inline constexpr int kDefaultIterationLimit = 100;

// One step from `x` to `next` on the augmented matrix `a` (A in columns
// 1..n, b in column n+1). Each sum s = sum over j != i of A(i,j) x(j) is
// accumulated from 0 in increasing j, each product added as it comes; then
// next(i) = (b(i) - s) / A(i,i).
// Jacobi: every x(j) from the previous iterate.
void JacobiStep(const Matrix& a, int n, const Vector& x, Vector& next);
// Gauss-Seidel: next(j) for j < i, already formed in this step.
void GaussSeidelStep(const Matrix& a, int n, const Vector& x, Vector& next);
// SOR: next(i) = (1 - w) x(i) + w g, g the Gauss-Seidel value from next(j),
// j < i, and x(j), j > i.
void SorStep(const Matrix& a, int n, double omega, const Vector& x, Vector& next);

// max over i of |next(i) - x(i)|; a difference that is not a number is
// passed over.
double IterateChange(const Vector& x, const Vector& next);

// The first i with A(i,i) zero or not a number, or 0.
int FirstVanishingDiagonal(const Matrix& a, int n);

// What a run of order n with the limit N needs at most: the iteration
// matrix and its spectral radius at their worst, N steps, and a trace of N
// iterates.
WorkEstimate IterativeWork(int order, int iterations, int digits);
// The same with the default limit, for the budgets' tools.
WorkEstimate IterativeDefaultWork(int order, int digits);

}  // namespace matcalc
