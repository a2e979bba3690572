#include "vcl/widgets/font.h"

#include <QFont>
#include <cmath>

namespace vcl {

namespace {
constexpr int designDpi = 96;
}

TFont::TFont() : name_("宋体"), height_(-12), charset_(DEFAULT_CHARSET), color_(clWindowText) {}

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), charset_(other.charset_), color_(other.color_),
      style_(other.style_)
{
}

TFont& TFont::operator=(const TFont& other)
{
    Assign(other);
    return *this;
}

void TFont::Assign(const TFont& other)
{
    if (this == &other || SameAs(other))
        return;
    name_ = other.name_;
    height_ = other.height_;
    charset_ = other.charset_;
    color_ = other.color_;
    style_ = other.style_;
    changed();
}

bool TFont::SameAs(const TFont& other) const
{
    return name_ == other.name_ && height_ == other.height_ && charset_ == other.charset_ &&
           color_ == other.color_ && style_ == other.style_;
}

void TFont::SetName(std::string name)
{
    if (name == name_)
        return;
    name_ = std::move(name);
    changed();
}

void TFont::SetHeight(int height)
{
    if (height == height_)
        return;
    height_ = height;
    changed();
}

int TFont::Size() const
{
    return static_cast<int>(std::lround(-height_ * 72.0 / designDpi));
}

void TFont::SetSize(int points)
{
    SetHeight(-static_cast<int>(std::lround(points * double(designDpi) / 72.0)));
}

void TFont::SetCharset(TFontCharset charset)
{
    if (charset == charset_)
        return;
    charset_ = charset;
    changed();
}

void TFont::SetColor(TColor color)
{
    if (color == color_)
        return;
    color_ = color;
    changed();
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == style_)
        return;
    style_ = style;
    changed();
}

void TFont::changed()
{
    if (OnChange)
        OnChange();
}

QFont TFont::toQFont() const
{
    QFont font(QString::fromStdString(name_));
    // A positive height counts the cell, internal leading included; pixel sizes are close enough for it.
    font.setPixelSize(std::max(1, std::abs(height_)));
    font.setBold(style_.bold);
    font.setItalic(style_.italic);
    font.setUnderline(style_.underline);
    font.setStrikeOut(style_.strikeOut);
    return font;
}

}  // namespace vcl
