// Where the program's other windows open: centred on the screen the main
// window stands on, and never larger than its free area.
#pragma once

class QWidget;

namespace matcalc::workbench {

void CentreOnScreenOf(QWidget& window, const QWidget& main_window);

}  // namespace matcalc::workbench
