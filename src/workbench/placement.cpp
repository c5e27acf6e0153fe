#include "workbench/placement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace matcalc::workbench {

void CentreOnScreenOf(QWidget& window, const QWidget& main_window) {
  const QScreen* screen = main_window.screen();
  if (screen == nullptr) return;
  window.setScreen(const_cast<QScreen*>(screen));
  const QRect free = screen->availableGeometry();
  const QSize size = window.size().boundedTo(free.size());
  window.resize(size);
  // The frame is not known before the window is shown; leave room for it.
  const QSize frame = window.frameGeometry().size().expandedTo(size);
  QRect placed(QPoint(0, 0), frame);
  placed.moveCenter(free.center());
  window.move(QPoint(std::max(placed.left(), free.left()), std::max(placed.top(), free.top())));
}

}  // namespace matcalc::workbench
