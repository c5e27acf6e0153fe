// The about box: modeless, so the user can keep working beside it.
#pragma once

#include <QDialog>

namespace matcalc::workbench {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace matcalc::workbench
