// What each direct solver and the condition numbers need at most for an
// order, at the decimal-digits setting `digits`, given to the frame before
// anything is allocated or written. Each is defined beside its command.
#pragma once

#include "frame/frame.h"

namespace matcalc {

WorkEstimate GaussWork(int order, int digits);
WorkEstimate LuSolveWork(int order, int digits);
WorkEstimate CholeskyWork(int order, int digits);
WorkEstimate LdltWork(int order, int digits);
WorkEstimate TridiagonalWork(int order, int digits);
WorkEstimate ConditionWork(int order, int digits);

}  // namespace matcalc
