#include "ui/palette_colours.h"

#include <QPalette>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace quorvan {
namespace {

// Normal text needs 4.5:1 to be read comfortably.
constexpr double kReadableContrast = 4.5;

double Channel(double value) {
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Channel(rgb.redF()) + 0.7152 * Channel(rgb.greenF()) +
           0.0722 * Channel(rgb.blueF());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableColour(const QColor& wanted, const QColor& background) {
    if (ContrastRatio(wanted, background) >= kReadableContrast) {
        return wanted;
    }
    // Away from the background: lighter on a dark one, darker on a light one.
    const bool lighten = Luminance(background) < 0.18;
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    float alpha = 1;
    wanted.toHsl().getHslF(&hue, &saturation, &lightness, &alpha);
    for (int step = 1; step <= 20; ++step) {
        const float moved = std::clamp(lightness + (lighten ? 0.05f : -0.05f) * step, 0.0f, 1.0f);
        const QColor candidate = QColor::fromHslF(hue, saturation, moved, alpha).toRgb();
        if (ContrastRatio(candidate, background) >= kReadableContrast) {
            return candidate;
        }
    }
    return lighten ? QColor(Qt::white) : QColor(Qt::black);
}

QString StyleSheetForPalette(const QString& css, const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    static const QRegularExpression declaration(
        QStringLiteral("(background-color|border-color|color)(\\s*:\\s*)(#[0-9a-fA-F]{6})"));
    QString result;
    qsizetype done = 0;
    for (auto match = declaration.globalMatch(css); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QString property = found.captured(1);
        const QColor given(found.captured(3));
        QColor colour;
        if (property == QLatin1String("border-color")) {
            colour = palette.color(QPalette::Mid);
        } else if (property == QLatin1String("background-color")) {
            // White is the page itself; any tint marks a box on it.
            colour = given == QColor(Qt::white) ? base : palette.color(QPalette::AlternateBase);
        } else {
            colour = ReadableColour(given, base);
        }
        result += css.mid(done, found.capturedStart(3) - done);
        result += colour.name();
        done = found.capturedEnd(3);
    }
    result += css.mid(done);
    result += QStringLiteral("\nbody { color: %1; background-color: %2; }\n")
                  .arg(palette.color(QPalette::Text).name(), base.name());
    return result;
}

}  // namespace quorvan
