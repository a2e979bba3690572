#pragma once
// Page 0 of a new Jet 4 file: engine name, version, and the RC4-masked area with code page, sort
// order, creation date and the (empty) database password masked by that date.
#include "jet/create/byte_writer.h"

namespace jet::create {

// creationDate: days since 1899-12-30, as Access keeps dates.
Bytes headerPage(std::uint32_t pageSize, double creationDate);

}  // namespace jet::create
