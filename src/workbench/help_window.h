// The manual: HTML pages in Help/ beside the program, shown in a window of
// its own with links, back and forward.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace matcalc::workbench {

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  // Shows `index_file` (the manual's first page).
  explicit HelpWindow(const QString& index_file, QWidget* parent = nullptr);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace matcalc::workbench
