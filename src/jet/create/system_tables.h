#pragma once
// The definitions of the system tables every Jet 4 file holds (MSysObjects, MSysACEs, MSysQueries,
// MSysRelationships) and of the question table tiku, as the engine lays them out.
#include "jet/create/table_layout.h"

namespace jet::create {

TableLayout msysObjectsLayout();
TableLayout msysAcesLayout();
TableLayout msysQueriesLayout();
TableLayout msysRelationshipsLayout();
TableLayout questionTableLayout();  // tiku: ID AutoNumber primary key, 题目 Memo

inline constexpr char kQuestionTable[] = "tiku";
inline constexpr char kQuestionColumn[] = "题目";

}  // namespace jet::create
