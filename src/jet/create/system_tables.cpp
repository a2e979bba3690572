#include "jet/create/system_tables.h"

#include "jet/format.h"

namespace jet::create {
namespace {

namespace cf = column_flags;
// Flag sets the engine gives the catalog's columns (0x10 marks the engine's own columns).
constexpr std::uint8_t kSysFixed = cf::Fixed | cf::Nullable | cf::Replication;
constexpr std::uint8_t kSysVar = cf::Nullable | cf::Replication;
constexpr std::uint8_t kSysBinary = cf::Nullable | cf::Replication | 0x20;
constexpr std::uint16_t kTextSize = 510;  // 255 characters

ColumnLayout col(const char* name, ColumnType type, std::uint8_t flags, std::uint16_t size) {
    return ColumnLayout{name, type, flags, size};
}

TableLayout systemTable(const char* name, std::vector<ColumnLayout> columns, std::vector<IndexLayout> indexes) {
    TableLayout t;
    t.name = name;
    t.tableType = format::TableTypeSystem;
    t.columns = std::move(columns);
    t.indexes = std::move(indexes);
    t.layOut();
    return t;
}

}  // namespace

TableLayout msysObjectsLayout() {
    return systemTable("MSysObjects",
                       {col("Id", ColumnType::Long, kSysFixed, 4), col("ParentId", ColumnType::Long, kSysFixed, 4),
                        col("Name", ColumnType::Text, kSysVar, kTextSize), col("Type", ColumnType::Integer, kSysFixed, 2),
                        col("DateCreate", ColumnType::DateTime, kSysFixed, 8),
                        col("DateUpdate", ColumnType::DateTime, kSysFixed, 8),
                        col("Owner", ColumnType::Binary, kSysBinary, kTextSize), col("Flags", ColumnType::Long, kSysFixed, 4),
                        col("Database", ColumnType::Memo, kSysVar, 0), col("Connect", ColumnType::Memo, kSysVar, 0),
                        col("ForeignName", ColumnType::Text, kSysVar, kTextSize),
                        col("RmtInfoShort", ColumnType::Binary, kSysVar, kTextSize),
                        col("RmtInfoLong", ColumnType::OLE, kSysVar, 0), col("Lv", ColumnType::OLE, kSysVar, 0),
                        col("LvProp", ColumnType::OLE, kSysVar, 0), col("LvModule", ColumnType::OLE, kSysVar, 0),
                        col("LvExtra", ColumnType::OLE, kSysVar, 0)},
                       {IndexLayout{"ParentIdName", {1, 2}, index_flags::Unique, 0},
                        IndexLayout{"Id", {0}, index_flags::Unique, 1}});
}

TableLayout msysAcesLayout() {
    return systemTable("MSysACEs",
                       {col("ObjectId", ColumnType::Long, kSysFixed, 4), col("SID", ColumnType::Binary, kSysBinary, kTextSize),
                        col("ACM", ColumnType::Long, kSysFixed, 4), col("FInheritable", ColumnType::Boolean, kSysFixed, 1)},
                       {IndexLayout{"ObjectId", {0}, index_flags::Required, 0}});
}

TableLayout msysQueriesLayout() {
    return systemTable("MSysQueries",
                       {col("ObjectId", ColumnType::Long, kSysFixed, 4), col("Attribute", ColumnType::Byte, kSysFixed, 1),
                        col("Order", ColumnType::Binary, kSysVar, kTextSize), col("Name1", ColumnType::Text, kSysVar, kTextSize),
                        col("Name2", ColumnType::Text, kSysVar, kTextSize), col("Expression", ColumnType::Memo, kSysVar, 0),
                        col("Flag", ColumnType::Integer, kSysFixed, 2), col("LvExtra", ColumnType::Long, kSysFixed, 4)},
                       {IndexLayout{"ObjectIdAttribute", {0, 1, 2}, index_flags::Unique, 0}});
}

TableLayout msysRelationshipsLayout() {
    return systemTable("MSysRelationships",
                       {col("szRelationship", ColumnType::Text, kSysVar, kTextSize), col("grbit", ColumnType::Long, kSysFixed, 4),
                        col("ccolumn", ColumnType::Long, kSysFixed, 4), col("icolumn", ColumnType::Long, kSysFixed, 4),
                        col("szObject", ColumnType::Text, kSysVar, kTextSize), col("szColumn", ColumnType::Text, kSysVar, kTextSize),
                        col("szReferencedObject", ColumnType::Text, kSysVar, kTextSize),
                        col("szReferencedColumn", ColumnType::Text, kSysVar, kTextSize)},
                       {IndexLayout{"szRelationship", {0}, index_flags::IgnoreNulls, 0},
                        IndexLayout{"szObject", {4}, index_flags::IgnoreNulls, 0},
                        IndexLayout{"szReferencedObject", {6}, index_flags::IgnoreNulls, 0}});
}

TableLayout questionTableLayout() {
    ColumnLayout id = col("ID", ColumnType::Long, cf::Fixed | cf::Nullable | cf::AutoLong, 4);
    ColumnLayout question = col(kQuestionColumn, ColumnType::Memo, cf::Nullable, 0);
    question.compressedUnicode = true;
    TableLayout t;
    t.name = kQuestionTable;
    t.tableType = format::TableTypeUser;
    t.columns = {id, question};
    t.indexes = {IndexLayout{"PrimaryKey", {0}, index_flags::Unique | index_flags::Required, 1}};
    t.layOut();
    return t;
}

}  // namespace jet::create
