#pragma once
// Layout is given in pixels for 96 dots per inch with a window font whose text is 12 pixels high.
// On another display the form scales its client size and every control's position, size and font
// by the measured text height over the designed one.
#include "vcl/widgets/font.h"

namespace vcl {

inline constexpr int designPixelsPerInch = 96;
inline constexpr int designTextHeight = 12;

// value * numerator / denominator, rounded half away from zero; -1 for a zero denominator or an overflow.
int MulDiv(int value, int numerator, int denominator);

struct ScaleRatio {
    int numerator = 1;
    int denominator = 1;
    bool isIdentity() const { return numerator == denominator; }
    int apply(int value) const { return MulDiv(value, numerator, denominator); }
};

// The logical dots per inch of the primary screen (96 where Qt's own high-DPI scaling is in force).
int screenPixelsPerInch();

// The height of the text "0" in the font, in pixels.
int measuredTextHeight(const TFont& font);

// Prepares a form built for designPpi and designHeight: first the window font's height follows the
// screen's dots per inch, then the ratio of the measured text height over designHeight is returned
// (identity when they agree). The form applies the ratio to its client size and to its controls.
ScaleRatio prepareFormScaling(TFont& windowFont, int screenPpi = screenPixelsPerInch(),
                              int designPpi = designPixelsPerInch, int designHeight = designTextHeight);

}  // namespace vcl
