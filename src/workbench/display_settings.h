// How the two panes look, and the decimal-digits setting the traces are
// rounded to.
#pragma once

#include <QColor>
#include <QFont>
#include <optional>
#include <string>

#include "frame/dialogs.h"

class QPlainTextEdit;

namespace matcalc::workbench {

inline constexpr int kDefaultFontPoints = 9;

// The digits an answer to the decimal-digits prompt gives: read by the
// leading-number rule, rounded, and kept within 1..15. An empty answer gives
// 1; a cancelled prompt keeps `current`; a value beyond the 16-bit range is
// clamped like any other.
int DigitsFromAnswer(const std::optional<std::string>& answer, int current);

// Asks the decimal digits through `dialogs` and returns the new setting.
int AskDecimalDigits(Dialogs& dialogs, int current);

// The font the panes start with: a fixed-pitch face (traces are laid out in
// columns) at the default size.
QFont InitialPaneFont();

// Applies what the font dialog chose: the face when it has a name, then size
// and effects.
void ApplyChosenFont(QPlainTextEdit& pane, const QFont& chosen);
void ApplyTextColour(QPlainTextEdit& pane, const QColor& colour);
void ApplyBackground(QPlainTextEdit& pane, const QColor& colour);
// Size 9, no effects, the theme's text and background colours; the face
// stays.
void RestoreDefaultLook(QPlainTextEdit& pane);

}  // namespace matcalc::workbench
