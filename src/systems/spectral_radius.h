// The spectral radius of an iteration matrix, computed with plain loops and
// square roots only, so that every platform prints the same bytes.
#pragma once

#include "linalg/matrix.h"

namespace matcalc {

}  // namespace matcalc
