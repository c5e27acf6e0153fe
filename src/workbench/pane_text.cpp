#include "workbench/pane_text.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace matcalc::workbench {

QString ToPaneLines(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return lines;
}

QString ToCrLfLines(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / 16);
  for (const QChar c : text) {
    // The document keeps paragraph and line separators; both are a line
    // break to the user.
    if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
      out += QStringLiteral("\r\n");
    } else {
      out += c;
    }
  }
  return out;
}

std::string PaneText(const QPlainTextEdit& pane) {
  // toRawText keeps non-breaking spaces, which toPlainText would turn into
  // plain spaces.
  return ToCrLfLines(pane.document()->toRawText()).toStdString();
}

void SetPaneText(QPlainTextEdit& pane, std::string_view text) {
  pane.setPlainText(ToPaneLines(FromView(text)));
}

int PaneLength(const QPlainTextEdit& pane) { return pane.document()->characterCount() - 1; }

}  // namespace matcalc::workbench
