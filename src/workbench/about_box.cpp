#include "workbench/about_box.h"

#include <QDialogButtonBox>
#include <QHideEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "workbench/help_window.h"
#include "workbench/placement.h"
#include "workbench/program_folder.h"
#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("关于") + kProgramTitle);
  setModal(false);
  auto* text = new QLabel(QStringLiteral("<h3>矩阵计算器</h3>"
                                         "<p>版本 " MATCALC_VERSION_TEXT "</p>"
                                         "<p>数值线性代数的演算工具：输入一个方阵或向量，选择方法，"
                                         "得到用中文写出的完整计算过程。</p>"
                                         "<p>特征值：幂法、原点平移法、反幂法、雅可比法。<br>"
                                         "直接法：列主元求逆矩阵与行列式、三角分解、"
                                         "正定与严格对角占优判断、范数。<br>"
                                         "方程组：列主元高斯消去法、三角分解法、平方根法、"
                                         "改进平方根法、追赶法、三种迭代法、条件数。</p>"),
                          this);
  text->setWordWrap(true);
  // The licence on a line of its own, with the link to the notices.
  auto* licence = new QLabel(
      QStringLiteral("以 MIT 许可证发布。<a href=\"notices\">第三方组件与许可</a>"), this);
  licence->setObjectName(QStringLiteral("Licence"));
  licence->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(licence, &QLabel::linkActivated, this, &AboutBox::ShowNotices);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(licence);
  layout->addWidget(buttons);
  // As high as the wrapped text needs at this width, in whatever font the
  // system gives it, so that no line is cut off; never smaller.
  constexpr int kWidth = 420;
  const int height = layout->totalHeightForWidth(kWidth);
  setMinimumSize(kWidth, height);
  resize(kWidth, height);
}

void AboutBox::ShowNotices() {
  const QString notices = FindProgramFile(QStringLiteral("Help/notices.html"));
  if (notices.isEmpty()) return;  // no manual beside the program: nothing to show
  if (notices_ == nullptr) {
    notices_ = new HelpWindow(notices, this);
    notices_->setWindowTitle(QStringLiteral("第三方组件与许可"));
    CentreOnScreenOf(*notices_, *this);
  }
  notices_->show();
  notices_->raise();
  notices_->activateWindow();
}

void AboutBox::hideEvent(QHideEvent* event) {
  // Closed, by OK, Esc or the window's closing; not when the system minimises it.
  if (!event->spontaneous() && notices_ != nullptr) notices_->close();
  QDialog::hideEvent(event);
}

}  // namespace matcalc::workbench
