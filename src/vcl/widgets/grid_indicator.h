#pragma once
// The marks of the list's indicator column, 6 by 11 pixels each: a filled triangle pointing right for
// the current row, an I-beam while its change is pending, an asterisk for a pending new row.
#include <QPoint>
#include <span>

class QPainter;
class QColor;

namespace vcl {

enum class GridIndicator;

inline constexpr int indicatorMarkWidth = 6;
inline constexpr int indicatorMarkHeight = 11;

// The mark's pixels, one string per row of the mark, '#' for a set pixel.
std::span<const char* const> indicatorMarkRows(GridIndicator mark);

// Paints the mark with its top-left pixel at topLeft.
void paintIndicatorMark(QPainter& painter, QPoint topLeft, GridIndicator mark, const QColor& color);

}  // namespace vcl
