#pragma once
// The states of a dataset and the events it sends to its data sources.

namespace vcl {

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

inline bool isEditing(TDataSetState state) noexcept
{
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}

// What a dataset tells its data sources, which pass it on to their links.
enum class TDataEvent {
    deFieldChange,      // a field of the current row was set (with the field)
    deRecordChange,     // the current row's data changed as a whole (an edit began)
    deDataSetChange,    // rows changed: opened, posted, cancelled, deleted, a new row started
    deDataSetScroll,    // the current row moved (with the distance)
    deLayoutChange,     // the fields changed
    deUpdateRecord,     // views write their pending text into the fields now
    deUpdateState,      // the state changed
    deCheckBrowseMode   // a change is about to be ended
};

}  // namespace vcl
