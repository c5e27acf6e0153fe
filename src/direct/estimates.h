// What each direct method needs at most for an order, with the worst input
// (every rounding taking its exact path) at the decimal-digits setting
// `digits`, given to the frame before anything is allocated or written. Each
// is defined beside its method.
#pragma once

#include "frame/frame.h"
#include "linalg/matrix.h"

namespace matcalc {

WorkEstimate InverseWork(int order, int digits);
WorkEstimate DeterminantWork(int order, int digits);
WorkEstimate TriangularWork(int order, int digits);
WorkEstimate PositiveDefiniteWork(int order, int digits);
WorkEstimate DiagonalDominanceWork(int order, int digits);
WorkEstimate MatrixNormsWork(int order, int digits);
// The vector norms' order is the vector's length, known once it is read:
// what its trace needs, the components printed as read.
WorkEstimate VectorNormsWork(const Vector& v);

}  // namespace matcalc
