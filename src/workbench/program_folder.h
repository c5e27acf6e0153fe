// Finding the files the program keeps beside itself (Help/, music/, icons/):
// next to the executable, in the installed share folder, or, for a build
// that was never installed, in the source tree's resources.
#pragma once

#include <QString>

namespace matcalc::workbench {

// The full path of `relative` (say "music/END.MID") in the first folder that
// holds it, or an empty text.
QString FindProgramFile(const QString& relative);

}  // namespace matcalc::workbench
