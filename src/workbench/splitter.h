// The bar between the panes and the shadow that follows the pointer while it
// is dragged. Releasing the bar lays the panes out where the shadow stands.
#pragma once

#include <QObject>
#include <functional>

#include "workbench/layout.h"

class QWidget;

namespace matcalc::workbench {

class Splitter : public QObject {
 public:
  // The bar (imgSplitter) and the shadow (picSplitter) are made as children
  // of `area`. `panes` gives the current layout in twips; `release` is told
  // the shadow's left edge in twips when the bar is let go.
  Splitter(QWidget* area, std::function<const Panes&()> panes, std::function<void(int)> release);

  QWidget* bar() const { return bar_; }
  bool moving() const { return moving_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int ToPixels(int twips) const;
  int ToTwips(int pixels) const;

  QWidget* area_;
  QWidget* bar_;
  QWidget* shadow_;
  std::function<const Panes&()> panes_;
  std::function<void(int)> release_;
  bool moving_ = false;
};

}  // namespace matcalc::workbench
