// What each direct method needs at most for an order n, given to the frame
// before anything is allocated or written. Each is defined beside its method.
#pragma once

#include "frame/frame.h"

namespace matcalc {

WorkEstimate InverseWork(int order);
WorkEstimate DeterminantWork(int order);
WorkEstimate TriangularWork(int order);
WorkEstimate PositiveDefiniteWork(int order);
WorkEstimate DiagonalDominanceWork(int order);
WorkEstimate MatrixNormsWork(int order);

}  // namespace matcalc
