// 追赶法: the tridiagonal system, forward (追) then back (赶).
#include "systems/commands.h"

namespace matcalc {

void TridiagonalCommand(Frame& /*frame*/) {}

}  // namespace matcalc
