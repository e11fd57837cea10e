#pragma once

#include <QColor>
#include <QString>

class QPalette;

namespace quorvan {

// The WCAG contrast ratio of two colours, from 1 (same) to 21 (black on
// white).
double ContrastRatio(const QColor& a, const QColor& b);

// `wanted` where it reads well on `background`; otherwise the same hue made
// lighter or darker until it does, so a colour chosen for light windows still
// reads on a dark palette.
QColor ReadableColour(const QColor& wanted, const QColor& background);

// A style sheet whose colours (#rrggbb) are moved onto the palette: the page
// background becomes Base, other backgrounds AlternateBase, borders Mid, and
// text colours stay as given where they read well on Base. The body's text is
// the palette's Text.
QString StyleSheetForPalette(const QString& css, const QPalette& palette);

}  // namespace quorvan
