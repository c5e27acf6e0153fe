// How the two panes look, and the decimal-digits setting the traces are
// rounded to.
#pragma once

#include <QColor>
#include <QFont>

class QPlainTextEdit;

namespace matcalc::workbench {

inline constexpr int kDefaultFontPoints = 9;

// The font the panes start with: a fixed-pitch face (traces are laid out in
// columns) at the default size.
QFont InitialPaneFont();

// The pane's font as the font dialog should start from it: with the name of
// the face's own style that matches its weight and slant. (Left to itself
// the dialog matches the style by a translated name, misses, and selects the
// face's first style, say Bold.)
QFont FontForDialog(const QFont& pane);

// Applies what the font dialog chose: the face when it has a name, then size
// and effects.
void ApplyChosenFont(QPlainTextEdit& pane, const QFont& chosen);
void ApplyTextColour(QPlainTextEdit& pane, const QColor& colour);
void ApplyBackground(QPlainTextEdit& pane, const QColor& colour);
// Size 9, no effects, the theme's text and background colours; the face
// stays.
void RestoreDefaultLook(QPlainTextEdit& pane);

}  // namespace matcalc::workbench
