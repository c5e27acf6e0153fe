// Icons of the edit buttons: the desktop theme's when it has them, otherwise
// drawn here, so the toolbar never shows a button without one.
#pragma once

#include <QIcon>

namespace matcalc::workbench {

enum class EditIconKind { kCut, kCopy, kPaste };

QIcon EditIcon(EditIconKind kind);
// The drawn icon alone, whatever the theme offers.
QIcon DrawnEditIcon(EditIconKind kind);

}  // namespace matcalc::workbench
