#pragma once
// A control's font as the window description gives it: face, height in pixels, character set, colour.
#include <functional>
#include <string>

#include "vcl/widgets/color.h"

class QFont;

namespace vcl {

using TFontCharset = unsigned char;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset GB2312_CHARSET = 134;

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// The set of styles; the window's fonts all have the empty set.
struct TFontStyles {
    bool bold = false, italic = false, underline = false, strikeOut = false;
    bool operator==(const TFontStyles&) const = default;
};

class TFont {
public:
    TFont();
    TFont(const TFont& other);             // copies the settings, not the change handler
    TFont& operator=(const TFont& other);  // like Assign

    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    // Negative: the characters' height in pixels (-12 gives 12-pixel characters). Positive: the cell height.
    int Height() const { return height_; }
    void SetHeight(int height);
    // Points at 96 dots per inch, derived from Height.
    int Size() const;
    void SetSize(int points);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);

    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    // Called after every change of a setting; the control that owns the font sets it.
    std::function<void()> OnChange;

    // The Qt font for these settings (face "宋体" resolves through the font substitutes).
    QFont toQFont() const;

private:
    void changed();

    std::string name_;
    int height_;
    TFontCharset charset_;
    TColor color_;
    TFontStyles style_;
};

}  // namespace vcl
