// What each command of the 矩阵 menu needs at most for m rows and n columns
// (n unknowns for the general solution; m = n for the square ones) at the
// decimal-digits setting `digits`, given to the frame before anything is
// allocated or written. Each is defined beside its command.
#pragma once

#include "frame/frame.h"

namespace matcalc {

WorkEstimate TransposeWork(int m, int n, int digits);

}  // namespace matcalc
