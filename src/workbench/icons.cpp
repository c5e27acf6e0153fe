#include "workbench/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace matcalc::workbench {
namespace {

constexpr int kSide = 32;

void DrawSheet(QPainter& painter, const QRectF& sheet) {
  painter.setBrush(Qt::white);
  painter.drawRect(sheet);
  // A few lines of text on the sheet.
  for (qreal y = sheet.top() + 5; y < sheet.bottom() - 3; y += 4) {
    painter.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
  }
}

QPixmap Draw(EditIconKind kind) {
  QPixmap pixmap(kSide, kSide);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(48, 56, 72), 1.6));
  switch (kind) {
    case EditIconKind::kCut: {
      // Scissors: two crossing blades and two finger rings.
      painter.setPen(QPen(QColor(48, 56, 72), 2.2, Qt::SolidLine, Qt::RoundCap));
      painter.drawLine(QPointF(9, 3), QPointF(20, 21));
      painter.drawLine(QPointF(23, 3), QPointF(12, 21));
      painter.setBrush(Qt::NoBrush);
      painter.setPen(QPen(QColor(176, 40, 40), 2.2));
      painter.drawEllipse(QPointF(9, 25), 4.5, 4.5);
      painter.drawEllipse(QPointF(23, 25), 4.5, 4.5);
      break;
    }
    case EditIconKind::kCopy:
      DrawSheet(painter, QRectF(3.5, 3.5, 16, 20));
      DrawSheet(painter, QRectF(12.5, 9.5, 16, 20));
      break;
    case EditIconKind::kPaste: {
      // A clipboard with a sheet on it.
      painter.setBrush(QColor(190, 140, 70));
      painter.drawRoundedRect(QRectF(4.5, 5.5, 20, 24), 2, 2);
      painter.setBrush(QColor(120, 120, 130));
      painter.drawRoundedRect(QRectF(10.5, 2.5, 8, 6), 1.5, 1.5);
      DrawSheet(painter, QRectF(13.5, 12.5, 15, 17));
      break;
    }
  }
  return pixmap;
}

}  // namespace

QIcon DrawnEditIcon(EditIconKind kind) { return QIcon(Draw(kind)); }

QIcon EditIcon(EditIconKind kind) {
  const char* name = kind == EditIconKind::kCut    ? "edit-cut"
                     : kind == EditIconKind::kCopy ? "edit-copy"
                                                   : "edit-paste";
  return QIcon::fromTheme(QString::fromLatin1(name), DrawnEditIcon(kind));
}

}  // namespace matcalc::workbench
