// Vector and matrix norms.
#pragma once

#include "frame/frame.h"

namespace matcalc {

// Reads a vector from the first line of the edit pane and writes its 1-, 2-
// and infinity norms.
void VectorModel(Frame& frame);

}  // namespace matcalc
