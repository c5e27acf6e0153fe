#include "workbench/display_settings.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPalette>
#include <QPlainTextEdit>
#include <cmath>

namespace matcalc::workbench {

QFont InitialPaneFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // A CJK face whose Latin glyphs are fixed-pitch keeps the 24-character
  // fields in columns and renders the Chinese lines.
  if (QFontDatabase::families().contains(QStringLiteral("Noto Sans Mono CJK SC"))) {
    font.setFamily(QStringLiteral("Noto Sans Mono CJK SC"));
  }
  font.setPointSize(kDefaultFontPoints);
  return font;
}

QFont FontForDialog(const QFont& pane) {
  QFont font = pane;
  const QString family = QFontInfo(pane).family();
  for (const QString& style : QFontDatabase::styles(family)) {
    if (QFontDatabase::weight(family, style) == pane.weight() &&
        QFontDatabase::italic(family, style) == pane.italic()) {
      font.setStyleName(style);
      break;
    }
  }
  return font;
}

void ApplyChosenFont(QPlainTextEdit& pane, const QFont& chosen) {
  QFont font = pane.font();
  // A blank name means the dialog had no face selected: keep the pane's.
  if (chosen.family().trimmed().size() > 0) font.setFamily(chosen.family());
  if (chosen.pointSizeF() > 0) font.setPointSizeF(chosen.pointSizeF());
  font.setBold(chosen.bold());
  font.setItalic(chosen.italic());
  font.setStrikeOut(chosen.strikeOut());
  font.setUnderline(chosen.underline());
  pane.setFont(font);
}

void ApplyTextColour(QPlainTextEdit& pane, const QColor& colour) {
  QPalette palette = pane.palette();
  palette.setColor(QPalette::Text, colour);
  pane.setPalette(palette);
}

void ApplyBackground(QPlainTextEdit& pane, const QColor& colour) {
  QPalette palette = pane.palette();
  palette.setColor(QPalette::Base, colour);
  pane.setPalette(palette);
}

void RestoreDefaultLook(QPlainTextEdit& pane) {
  QFont font = pane.font();
  font.setPointSize(kDefaultFontPoints);
  font.setBold(false);
  font.setItalic(false);
  font.setStrikeOut(false);
  font.setUnderline(false);
  pane.setFont(font);
  const QPalette theme = QApplication::palette(&pane);
  ApplyTextColour(pane, theme.color(QPalette::Text));
  ApplyBackground(pane, theme.color(QPalette::Base));
}

}  // namespace matcalc::workbench
