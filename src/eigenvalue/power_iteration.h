// The unnormalised power iteration shared by the power and the origin-shift
// methods: iterate k is P(k) x0 with P(k) = B P(k-1), every entry of every
// power and iterate rounded, and the eigenvalue is estimated component by
// component as the ratio of two successive iterates.
#pragma once

#include <string_view>

#include "frame/frame.h"
#include "linalg/matrix.h"

namespace matcalc {

// The last iterate printed before the power and origin-shift methods give up.
// Iterates are numbered from 1, v(1) = B x0, and iterate k needs the power
// B^k: 200 matrix products in all. (The inverse power method counts its
// iterations instead, each a pair of substitutions: kLastIteration.)
inline constexpr int kLastIterate = 201;

// What a run of up to kLastIterate iterates of order n needs: `arrays` n x n
// matrices, and `printed_matrices` matrices written before the iterates.
WorkEstimate PowerIterationWork(int order, int arrays, int printed_matrices);

// The estimate v(k)(j) / v(k-1)(j) of one component, rounded; a denominator
// below 1E-322 in magnitude gives the stand-in 1.79769313486231E+308.
double RatioEstimate(double numerator, double denominator, int digits);

// The stopping test over the estimates of two successive steps: the first
// component j (increasing) with |e2(j) - e1(j)| < eps is accepted, except
// that component 1 of a longer vector also needs |e2(2) - e2(1)| <= eps.
// A component whose previous iterate v(k-1)(j) vanished has only the
// stand-in for its estimate e2(j) and is never accepted. Returns the accepted
// component, or 0.
int SettledComponent(const Vector& e1, const Vector& e2, const Vector& previous, double eps);

class PowerIteration;

// The iterates of a power iteration in the trace: the heading, iterates 1
// and 2, then each further iterate until one settles within `eps` (true).
// Each iterate's fields end with `iterate_end`. When iterate kLastIterate
// has not settled, the question `give_up_text` is asked, a No empties the
// pane, and the result is false.
Task<bool> AppendIterates(Frame& frame, PowerIteration& iteration, double eps,
                          std::string_view iterate_end, std::string_view give_up_text);

class PowerIteration {
 public:
  // Forms P(2) = B B and the iterates 1 and 2.
  PowerIteration(const Matrix& b, const Vector& x0, int digits);

  // Forms the next iterate and tests its estimates; true when one settled.
  bool Advance(double eps);

  int k() const { return k_; }
  const Vector& previous() const { return previous_; }  // v(k-1)
  const Vector& current() const { return current_; }    // v(k)
  double lambda() const { return lambda_; }             // the accepted estimate
  const Vector& estimates() const { return e2_; }       // from v(k) and v(k-1)

 private:
  const Matrix& b_;
  const Vector& x0_;
  int digits_;
  int n_;
  Matrix power_;
  Vector older_;  // v(k-2)
  Vector previous_;
  Vector current_;
  Vector e1_;
  Vector e2_;
  int k_ = 2;
  double lambda_ = 0;
};

}  // namespace matcalc
