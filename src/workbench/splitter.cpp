#include "workbench/splitter.h"

#include <QMouseEvent>
#include <QWidget>

namespace matcalc::workbench {

Splitter::Splitter(QWidget* area, std::function<const Panes&()> panes,
                   std::function<void(int)> release)
    : QObject(area),
      area_(area),
      bar_(new QWidget(area)),
      shadow_(new QWidget(area)),
      panes_(std::move(panes)),
      release_(std::move(release)) {
  bar_->setObjectName(QStringLiteral("imgSplitter"));
  bar_->setCursor(Qt::SplitHCursor);
  bar_->installEventFilter(this);
  shadow_->setObjectName(QStringLiteral("picSplitter"));
  shadow_->setAutoFillBackground(true);
  shadow_->setBackgroundRole(QPalette::Dark);
  shadow_->hide();
}

int Splitter::ToPixels(int twips) const { return TwipsToPixels(twips, area_->logicalDpiX()); }

int Splitter::ToTwips(int pixels) const { return PixelsToTwips(pixels, area_->logicalDpiX()); }

bool Splitter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != bar_) return QObject::eventFilter(watched, event);
  const Rect& bar = panes_().bar;
  const int width = ToTwips(area_->width());
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
      shadow_->setGeometry(ToPixels(bar.left), ToPixels(bar.top), ToPixels(bar.width / 2),
                           ToPixels(bar.height - 20));
      shadow_->show();
      shadow_->raise();
      moving_ = true;
      return true;
    case QEvent::MouseMove: {
      if (!moving_) break;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int left =
          ShadowLeft(bar.left, ToTwips(static_cast<int>(mouse->position().x())), width);
      shadow_->move(ToPixels(left), shadow_->y());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      if (!moving_) break;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int left =
          ShadowLeft(bar.left, ToTwips(static_cast<int>(mouse->position().x())), width);
      shadow_->hide();
      moving_ = false;
      release_(left);
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace matcalc::workbench
