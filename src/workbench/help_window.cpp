#include "workbench/help_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {

HelpWindow::HelpWindow(const QString& index_file, QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
  setWindowTitle(kProgramTitle + QStringLiteral(" - 帮助"));
  auto* back = new QPushButton(QStringLiteral("后退"), this);
  auto* forward = new QPushButton(QStringLiteral("前进"), this);
  auto* home = new QPushButton(QStringLiteral("目录"), this);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(home);
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);

  browser_->setOpenExternalLinks(true);
  browser_->setSearchPaths({QFileInfo(index_file).absolutePath()});
  browser_->setSource(QUrl::fromLocalFile(index_file));
  resize(720, 560);
}

}  // namespace matcalc::workbench
