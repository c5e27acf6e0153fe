// What each eigenvalue method needs at most for an order, with the worst
// input (no estimate settles, every rounding takes its exact path), given to
// the frame right after the order box. Each is defined beside its method.
#pragma once

#include "frame/frame.h"

namespace matcalc {

WorkEstimate PowerWork(int order, int digits);
WorkEstimate ShiftWork(int order, int digits);
WorkEstimate InversePowerWork(int order, int digits);
WorkEstimate JacobiWork(int order, int digits);

}  // namespace matcalc
