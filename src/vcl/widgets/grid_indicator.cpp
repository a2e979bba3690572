#include "vcl/widgets/grid_indicator.h"

#include <QPainter>

#include "vcl/widgets/db_grid.h"

namespace vcl {

namespace {

constexpr const char* triangle[indicatorMarkHeight] = {
    "      ",
    "#     ",
    "##    ",
    "###   ",
    "####  ",
    "##### ",
    "####  ",
    "###   ",
    "##    ",
    "#     ",
    "      ",
};

constexpr const char* iBeam[indicatorMarkHeight] = {
    " ## ##",
    "   #  ",
    "   #  ",
    "   #  ",
    "   #  ",
    "   #  ",
    "   #  ",
    "   #  ",
    "   #  ",
    "   #  ",
    " ## ##",
};

constexpr const char* asterisk[indicatorMarkHeight] = {
    "      ",
    "      ",
    "   #  ",
    " # # #",
    "  ### ",
    " #####",
    "  ### ",
    " # # #",
    "   #  ",
    "      ",
    "      ",
};

}  // namespace

std::span<const char* const> indicatorMarkRows(GridIndicator mark)
{
    switch (mark) {
    case GridIndicator::Current: return triangle;
    case GridIndicator::Editing: return iBeam;
    case GridIndicator::Inserting: return asterisk;
    case GridIndicator::None: break;
    }
    return {};
}

void paintIndicatorMark(QPainter& painter, QPoint topLeft, GridIndicator mark, const QColor& color)
{
    const auto rows = indicatorMarkRows(mark);
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (int x = 0; x < indicatorMarkWidth; ++x)
            if (rows[y][x] == '#')
                painter.fillRect(topLeft.x() + x, topLeft.y() + int(y), 1, 1, color);
}

}  // namespace vcl
