// Deleting the current row from the list (Ctrl+Delete), after the confirmation box.
#include "vcl/data/dataset.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/message_box.h"

namespace vcl {

void TDBGrid::deleteCurrent()
{
    TDataSet* data = dataSet();
    // Nothing to delete, or rows that cannot be changed: no box, nothing happens.
    if (!data || !data->Active() || !data->CanModify() ||
        (data->currentRow() < 0 && data->State() != TDataSetState::dsInsert))
        return;
    if (options_.Contains(TDBGridOption::dgConfirmDelete) &&
        MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, mbOK | mbCancel) != mrOk)
        return;
    CallHandler([&] { data->Delete(); });
}

}  // namespace vcl
