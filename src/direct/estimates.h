// What each direct method needs at most for an order, with the worst input
// (every rounding taking its exact path) at the decimal-digits setting
// `digits`, given to the frame before anything is allocated or written. Each
// is defined beside its method.
#pragma once

#include "frame/frame.h"

namespace matcalc {

WorkEstimate InverseWork(int order, int digits);
WorkEstimate DeterminantWork(int order, int digits);
WorkEstimate TriangularWork(int order, int digits);
WorkEstimate PositiveDefiniteWork(int order, int digits);
WorkEstimate DiagonalDominanceWork(int order, int digits);
WorkEstimate MatrixNormsWork(int order, int digits);

}  // namespace matcalc
