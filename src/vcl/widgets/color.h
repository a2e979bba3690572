#pragma once
// Colours as the window description names them: plain RGB values and the system colours.
#include <cstdint>

class QColor;

namespace vcl {

// 0x00BBGGRR for a plain colour; a system colour has the top bit set and its index in the low byte.
using TColor = std::int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
enum : TColor {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clNavy = 0x800000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clBlue = 0xFF0000,
    clWhite = 0xFFFFFF,

    clWindow = clSystemColor | 5,
    clWindowText = clSystemColor | 8,
    clWindowFrame = clSystemColor | 6,
    clHighlight = clSystemColor | 13,
    clHighlightText = clSystemColor | 14,
    clBtnFace = clSystemColor | 15,
    clBtnShadow = clSystemColor | 16,
    clGrayText = clSystemColor | 17,
    clBtnText = clSystemColor | 18,
    clBtnHighlight = clSystemColor | 20,
    cl3DDkShadow = clSystemColor | 21,
    cl3DLight = clSystemColor | 22,
};

// The colour to paint with; system colours come from the application's palette.
QColor toQColor(TColor color);

}  // namespace vcl
