#include "jet/create/table_layout.h"

namespace jet::create {

void TableLayout::layOut() {
    std::uint16_t fixedOffset = 0, varIndex = 0, number = 0;
    for (ColumnLayout& c : columns) {
        c.number = number++;
        if (c.fixed()) {
            // Booleans live in the null mask and take no room among the fixed columns.
            c.fixedOffset = fixedOffset;
            if (c.type != ColumnType::Boolean) fixedOffset = std::uint16_t(fixedOffset + c.size);
        } else {
            c.varIndex = varIndex++;
        }
    }
}

std::uint16_t TableLayout::fixedLength() const {
    std::uint16_t length = 0;
    for (const ColumnLayout& c : columns)
        if (c.fixed() && c.type != ColumnType::Boolean) length = std::uint16_t(length + c.size);
    return length;
}

std::uint16_t TableLayout::varCount() const {
    std::uint16_t n = 0;
    for (const ColumnLayout& c : columns) n += !c.fixed();
    return n;
}

}  // namespace jet::create
