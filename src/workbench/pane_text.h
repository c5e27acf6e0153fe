// The panes hold text with one character per line break; commands, files and
// the runner see the same text with CR LF. These are the two crossings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QPlainTextEdit;

namespace matcalc::workbench {

// The pane's text as UTF-8 with CR LF line breaks.
std::string PaneText(const QPlainTextEdit& pane);
// Sets the whole text at once (one layout pass, fast for a long trace).
void SetPaneText(QPlainTextEdit& pane, std::string_view text);

// A text of the core (UTF-8) as a Qt string.
inline QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The same conversions on Qt strings: CR LF (or a lone CR) becomes one line
// break, and back.
QString ToPaneLines(const QString& text);
QString ToCrLfLines(const QString& text);

// The pane's length and selection start in pane characters (a line break
// counts once).
int PaneLength(const QPlainTextEdit& pane);

}  // namespace matcalc::workbench
