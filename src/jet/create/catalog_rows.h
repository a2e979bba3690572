#pragma once
// The rows of the system catalog of a new bank: containers, the database object, the system tables,
// Access's own containers and the question table; and the access-control entries the engine keeps.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/create/byte_writer.h"

namespace jet::create {

struct CatalogObject {
    std::string name;
    std::int32_t id;
    std::int32_t parentId;
    std::int16_t type;
    std::uint32_t flags;
    Bytes owner;
};

struct AccessControlEntry {
    std::int32_t objectId;
    Bytes sid;
    std::int32_t mask;
    bool inheritable;
};

// questionTablePage: the question table's definition page, which is also its object id.
std::vector<CatalogObject> catalogObjects(std::uint32_t questionTablePage);
std::vector<AccessControlEntry> accessControlEntries(std::uint32_t questionTablePage);

}  // namespace jet::create
