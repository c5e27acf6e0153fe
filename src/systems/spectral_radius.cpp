#include "systems/spectral_radius.h"

namespace matcalc {}  // namespace matcalc
