// 雅可比迭代法, 高斯-赛德尔迭代法 and 超松弛迭代法: one iteration loop, three
// ways of taking a step.
#include "systems/commands.h"

namespace matcalc {

void JacobiIterationCommand(Frame& /*frame*/) {}
void GaussSeidelCommand(Frame& /*frame*/) {}
void SorCommand(Frame& /*frame*/) {}

}  // namespace matcalc
