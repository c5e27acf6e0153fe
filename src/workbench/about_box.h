// The about box: modeless, so the user can keep working beside it.
#pragma once

#include <QDialog>
#include <QPointer>

namespace matcalc::workbench {

class HelpWindow;

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);

  // The third-party components and their licences (Help/notices.html), in a
  // window of the manual's kind.
  void ShowNotices();

 protected:
  // The notices go with the box.
  void hideEvent(QHideEvent* event) override;

 private:
  QPointer<HelpWindow> notices_;
};

}  // namespace matcalc::workbench
