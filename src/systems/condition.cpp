// 条件数: the inverse by Gauss-Jordan elimination and the 1-, 2- and
// infinity-condition numbers.
#include "systems/commands.h"

namespace matcalc {

void ConditionCommand(Frame& /*frame*/) {}

}  // namespace matcalc
