#include "jet/create/catalog_rows.h"

namespace jet::create {
namespace {

// Object ids and types of the catalog.
constexpr std::int32_t kRootContainer = 0x0F000000;
constexpr std::int32_t kTablesContainer = 0x0F000001;
constexpr std::int32_t kDatabasesContainer = 0x0F000002;
constexpr std::int32_t kRelationshipsContainer = 0x0F000003;
constexpr std::int32_t kDatabaseObject = 0x10000000;
constexpr std::int32_t kFirstAccessObject = std::int32_t(0x80000000u);
constexpr std::int16_t kTypeTable = 1, kTypeDatabase = 2, kTypeContainer = 3;
constexpr std::uint32_t kSystemObject = 0x80000000u;

// Security ids of the default workgroup as the engine records them: the engine, the database's
// creator (Admin), the Admins and the Users groups.
const Bytes kEngineSid{0x06, 0xea};
const Bytes kCreatorSid{0x07, 0xe8};
const Bytes kAdminsSid{0x06, 0xed};
const Bytes kUsersSid{0x06, 0xe8};

}  // namespace

std::vector<CatalogObject> catalogObjects(std::uint32_t questionTablePage) {
    std::vector<CatalogObject> rows{
        {"Tables", kTablesContainer, kRootContainer, kTypeContainer, kSystemObject, kEngineSid},
        {"Databases", kDatabasesContainer, kRootContainer, kTypeContainer, kSystemObject, kEngineSid},
        {"Relationships", kRelationshipsContainer, kRootContainer, kTypeContainer, kSystemObject, kEngineSid},
        {"MSysDb", kDatabaseObject, kDatabasesContainer, kTypeDatabase, kSystemObject, kCreatorSid},
        {"MSysObjects", 2, kTablesContainer, kTypeTable, kSystemObject, kEngineSid},
        {"MSysACEs", 3, kTablesContainer, kTypeTable, kSystemObject, kEngineSid},
        {"MSysQueries", 4, kTablesContainer, kTypeTable, kSystemObject, kEngineSid},
        {"MSysRelationships", 5, kTablesContainer, kTypeTable, kSystemObject, kEngineSid},
    };
    // The containers Access adds for its own objects.
    const char* accessContainers[] = {"DataAccessPages", "Forms", "Modules", "Reports", "Scripts", "SysRel"};
    std::int32_t id = kFirstAccessObject;
    for (const char* name : accessContainers)
        rows.push_back({name, id++, kRootContainer, kTypeContainer, 0, kCreatorSid});
    rows.push_back({"tiku", std::int32_t(questionTablePage), kTablesContainer, kTypeTable, 0, kCreatorSid});
    return rows;
}

std::vector<AccessControlEntry> accessControlEntries(std::uint32_t questionTablePage) {
    std::vector<AccessControlEntry> rows{
        {2, kCreatorSid, 393216, false},
        {3, kCreatorSid, 393216, false},
        {4, kCreatorSid, 393216, false},
        {5, kCreatorSid, 917504, false},
        {kTablesContainer, kAdminsSid, 983294, true},
        {kTablesContainer, kCreatorSid, 393217, false},
        {kRelationshipsContainer, kAdminsSid, 983294, true},
        {kRelationshipsContainer, kCreatorSid, 393217, false},
        {kDatabasesContainer, kCreatorSid, 393216, false},
        {kDatabaseObject, kCreatorSid, 393230, false},
        {kDatabaseObject, kUsersSid, 14, false},
        {4, kUsersSid, 20, false},
        {5, kUsersSid, 20, false},
        {2, kUsersSid, 20, false},
        {kTablesContainer, kUsersSid, 1048319, true},
        {kRelationshipsContainer, kUsersSid, 1048575, true},
    };
    // Access's containers and the question table get what the Tables container hands down.
    for (std::int32_t id = kFirstAccessObject; id < kFirstAccessObject + 6; ++id) {
        rows.push_back({id, kAdminsSid, 1048575, true});
        rows.push_back({id, kUsersSid, 1048575, true});
    }
    rows.push_back({std::int32_t(questionTablePage), kAdminsSid, 1048575, false});
    rows.push_back({std::int32_t(questionTablePage), kCreatorSid, 1048575, false});
    rows.push_back({std::int32_t(questionTablePage), kUsersSid, 1048319, false});
    return rows;
}

}  // namespace jet::create
