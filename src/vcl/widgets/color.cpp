#include "vcl/widgets/color.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace vcl {

namespace {

QPalette::ColorRole systemRole(int index)
{
    switch (index) {
    case 5: return QPalette::Base;
    case 6: return QPalette::Shadow;
    case 8: return QPalette::Text;
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;
    case 16: return QPalette::Dark;
    case 17: return QPalette::PlaceholderText;
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;
    case 21: return QPalette::Shadow;
    case 22: return QPalette::Midlight;
    default: return QPalette::WindowText;
    }
}

}  // namespace

QColor toQColor(TColor color)
{
    if (color & clSystemColor)
        return QApplication::palette().color(QPalette::Active, systemRole(color & 0xFF));
    const auto rgb = static_cast<std::uint32_t>(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

}  // namespace vcl
