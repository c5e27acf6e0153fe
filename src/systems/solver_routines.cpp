#include "systems/solver_routines.h"

namespace matcalc {

Vector RightHandSide(const Matrix& read, int n) {
  Vector b(n);
  for (int i = 1; i <= n; ++i) b(i) = read(i, n + 1);
  return b;
}

bool IsSymmetric(const Matrix& a, int n) {
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (a(i, j) != a(j, i)) return false;
    }
  }
  return true;
}

Vector SolveLower(const Matrix& l, const Vector& b, int n, WorkMeter* meter) {
  Vector y(n);
  for (int i = 1; i <= n; ++i) {
    const double* li = l.row(i);
    double s = 0;
    for (int j = 1; j < i; ++j) s = s + li[j] * y(j);
    y(i) = (b(i) - s) / li[i];
    Advance(meter, i);
  }
  return y;
}

Vector SolveUpper(const Matrix& u, const Vector& y, int n, WorkMeter* meter) {
  Vector x(n);
  for (int i = n; i >= 1; --i) {
    const double* ui = u.row(i);
    double s = 0;
    for (int j = i + 1; j <= n; ++j) s = s + ui[j] * x(j);
    x(i) = (y(i) - s) / ui[i];
    Advance(meter, n - i + 1);
  }
  return x;
}

Vector SolveLowerTransposed(const Matrix& l, const Vector& y, int n, WorkMeter* meter) {
  Vector x(n);
  for (int i = n; i >= 1; --i) {
    double s = 0;
    for (int j = i + 1; j <= n; ++j) s = s + l(j, i) * x(j);
    x(i) = (y(i) - s) / l(i, i);
    Advance(meter, n - i + 1);
  }
  return x;
}

}  // namespace matcalc
