// What each direct solver and the condition numbers need at most for an
// order, at the decimal-digits setting `digits`, given to the frame before
// anything is allocated or written. Each is defined beside its command.
#pragma once

#include "frame/frame.h"
#include "linalg/exact_readers.h"

namespace matcalc {

WorkEstimate GaussWork(int order, int digits);
WorkEstimate LuSolveWork(int order, int digits);
WorkEstimate CholeskyWork(int order, int digits);
WorkEstimate LdltWork(int order, int digits);
WorkEstimate TridiagonalWork(int order, int digits);
WorkEstimate ConditionWork(int order, int digits);

// The same in the exact mode, from the fractions read (A, and b but for the
// condition numbers): the digits they can reach bound the work.
WorkEstimate ExactGaussWork(const RationalMatrix& a, int n);
WorkEstimate ExactLuSolveWork(const RationalMatrix& a, int n);
WorkEstimate ExactLdltWork(const RationalMatrix& a, int n);
WorkEstimate ExactTridiagonalWork(const RationalMatrix& a, int n);
WorkEstimate ExactConditionWork(const RationalMatrix& a, int n);

}  // namespace matcalc
