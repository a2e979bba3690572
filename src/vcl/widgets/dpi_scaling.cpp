#include "vcl/widgets/dpi_scaling.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vcl {

int MulDiv(int value, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = std::int64_t(value) * numerator;
    const std::int64_t half = std::abs(std::int64_t(denominator)) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (std::abs(product) + half) / std::abs(std::int64_t(denominator));
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return -1;  // as Windows answers an overflow
    return static_cast<int>(result);
}

int screenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return designPixelsPerInch;
    return static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
}

int measuredTextHeight(const TFont& font)
{
    // The extent of a text is one line high whatever its characters: ascent plus descent.
    return QFontMetrics(font.toQFont()).height();
}

ScaleRatio prepareFormScaling(TFont& windowFont, int screenPpi, int designPpi, int designHeight)
{
    if (screenPpi != designPpi && screenPpi > 0)
        windowFont.SetHeight(MulDiv(windowFont.Height(), screenPpi, designPpi));
    const int measured = measuredTextHeight(windowFont);
    if (measured <= 0 || measured == designHeight)
        return {};
    return {measured, designHeight};
}

}  // namespace vcl
