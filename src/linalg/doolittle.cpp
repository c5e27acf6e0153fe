#include "linalg/doolittle.h"

#include "linalg/doolittle_of.h"

namespace matcalc {

bool FactorDoolittle(const Matrix& a, Matrix& l, Matrix& u, int n, const DoolittleRules& rules,
                     WorkMeter* meter) {
  return FactorDoolittleOf(a, l, u, n, rules, meter);
}

}  // namespace matcalc
