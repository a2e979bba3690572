#include "vcl/data/dataset.h"

#include <algorithm>
#include <cctype>

#include "vcl/data/data_source.h"
#include "vcl/data/exceptions.h"

namespace vcl {

namespace {
constexpr std::string_view kClosed = "Cannot perform this operation on a closed dataset";
constexpr std::string_view kEmpty = "Cannot perform this operation on an empty dataset";
constexpr std::string_view kReadOnly = "Cannot modify a read-only dataset";
constexpr std::string_view kNotEditing = "Dataset not in edit or insert mode";

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}
}  // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet()
{
    while (!dataSources_.empty())
        dataSources_.back()->SetDataSet(nullptr);
}

void TDataSet::SetActive(bool active)
{
    if (Loading()) {
        streamedActive_ = active;
        return;
    }
    if (active == Active())
        return;
    if (active) {
        openCursor();
        setState(TDataSetState::dsBrowse);
        return;
    }
    // The views are told first, while the result is still there; the result goes even if one of them fails.
    dropChange();
    try {
        setState(TDataSetState::dsInactive);
    } catch (...) {
        closeCursor();
        throw;
    }
    closeCursor();
}

void TDataSet::Loaded()
{
    TComponent::Loaded();
    if (!streamedActive_)
        return;
    streamedActive_ = false;
    try {
        SetActive(true);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TDataSet::openCursor()
{
    try {
        InternalOpen();
    } catch (...) {
        clearFields();
        throw;
    }
    pending_.assign(fields_.size(), std::nullopt);
    modified_ = false;
    const int count = InternalRecordCount();
    current_ = count > 0 ? 0 : -1;
    bof_ = true;
    eof_ = count == 0;
}

void TDataSet::closeCursor()
{
    InternalClose();
    clearFields();
    current_ = -1;
    bof_ = eof_ = true;
}

int TDataSet::RecordCount() const
{
    checkActive();
    return InternalRecordCount();
}

int TDataSet::RecNo() const
{
    if (!Active() || state_ == TDataSetState::dsInsert || current_ < 0)
        return -1;
    return current_ + 1;
}

bool TDataSet::IsEmpty() const noexcept
{
    return !Active() || (state_ != TDataSetState::dsInsert && InternalRecordCount() == 0);
}

void TDataSet::First()
{
    checkActive();
    CheckBrowseMode();
    const int count = InternalRecordCount();
    if (count > 0)
        moveTo(0);
    bof_ = true;
    eof_ = count == 0;
}

void TDataSet::Last()
{
    checkActive();
    CheckBrowseMode();
    const int count = InternalRecordCount();
    if (count > 0)
        moveTo(count - 1);
    eof_ = true;
    bof_ = count == 0;
}

int TDataSet::MoveBy(int distance)
{
    checkActive();
    CheckBrowseMode();
    const int count = InternalRecordCount();
    if (distance == 0)
        return 0;
    if (count == 0) {
        bof_ = eof_ = true;
        return 0;
    }
    const long long wanted = static_cast<long long>(current_) + distance;
    const int target = static_cast<int>(std::clamp<long long>(wanted, 0, count - 1));
    const int moved = target - current_;
    moveTo(target);
    bof_ = distance < 0 && moved != distance;
    eof_ = distance > 0 && moved != distance;
    return moved;
}

void TDataSet::MoveTo(int recNo)
{
    checkActive();
    CheckBrowseMode();
    const int count = InternalRecordCount();
    if (count == 0)
        return;
    moveTo(std::clamp(recNo, 1, count) - 1);
    bof_ = eof_ = false;
}

void TDataSet::moveTo(int row)
{
    const int distance = row - current_;
    current_ = row;
    if (distance != 0)
        DataEvent(TDataEvent::deDataSetScroll, distance);
}

void TDataSet::Edit()
{
    checkActive();
    if (isEditing(state_))
        return;
    if (InternalRecordCount() == 0) {
        Insert();
        return;
    }
    checkCanModify();
    pending_.assign(fields_.size(), std::nullopt);
    modified_ = false;
    setState(TDataSetState::dsEdit);
    DataEvent(TDataEvent::deRecordChange);
}

void TDataSet::Insert()
{
    checkActive();
    CheckBrowseMode();
    checkCanModify();
    pending_.assign(fields_.size(), std::nullopt);
    modified_ = false;
    setState(TDataSetState::dsInsert);
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Post()
{
    checkActive();
    UpdateRecord();
    std::vector<FieldChange> changes;
    for (std::size_t i = 0; i < pending_.size(); ++i)
        if (pending_[i])
            changes.push_back({static_cast<int>(i), *pending_[i]});
    // A failure leaves the state, the changes and the current row as they were.
    const bool inserting = state_ == TDataSetState::dsInsert;
    if (!inserting) {
        if (!changes.empty())
            InternalUpdate(current_, changes);
    } else {
        current_ = InternalInsert(changes);
    }
    dropChange();
    const int count = InternalRecordCount();
    bof_ = eof_ = count == 0;
    setState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
    if (AfterPost)
        AfterPost(*this, inserting);
}

void TDataSet::Cancel()
{
    if (!isEditing(state_))
        return;
    DataEvent(TDataEvent::deCheckBrowseMode);
    dropChange();
    setState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Delete()
{
    checkActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (InternalRecordCount() == 0 || current_ < 0)
        DatabaseError(kEmpty, this);
    checkCanModify();
    DataEvent(TDataEvent::deCheckBrowseMode);
    InternalDelete(current_);
    dropChange();
    const int count = InternalRecordCount();
    if (current_ >= count)
        current_ = count - 1;
    bof_ = eof_ = count == 0;
    setState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
    if (AfterDelete)
        AfterDelete(*this);
}

void TDataSet::CheckBrowseMode()
{
    checkActive();
    DataEvent(TDataEvent::deCheckBrowseMode);
    if (!isEditing(state_))
        return;
    UpdateRecord();
    if (modified_)
        Post();
    else
        Cancel();
}

void TDataSet::UpdateRecord()
{
    if (!isEditing(state_))
        DatabaseError(kNotEditing, this);
    DataEvent(TDataEvent::deUpdateRecord);
}

bool TDataSet::CanModify() const
{
    return Active() && InternalCanModify();
}

TField* TDataSet::FindField(std::string_view fieldName) const
{
    for (const auto& field : fields_)
        if (sameNameIgnoringCase(field->FieldName(), fieldName))
            return field.get();
    return nullptr;
}

TField* TDataSet::FieldByName(std::string_view fieldName) const
{
    TField* field = FindField(fieldName);
    if (field == nullptr)
        DatabaseError("Field '" + std::string(fieldName) + "' not found", this);
    return field;
}

int TDataSet::displayRowCount() const noexcept
{
    if (!Active())
        return 0;
    return InternalRecordCount() + (state_ == TDataSetState::dsInsert ? 1 : 0);
}

int TDataSet::currentRow() const noexcept
{
    if (!Active())
        return -1;
    if (state_ == TDataSetState::dsInsert)
        return current_ >= 0 ? current_ : 0;
    return current_;
}

std::optional<std::string> TDataSet::valueAt(int row, const TField& field) const
{
    if (row < 0 || row >= displayRowCount() || field.DataSet() != this)
        return std::nullopt;
    if (isEditing(state_) && row == currentRow())
        return currentValue(field);
    if (state_ == TDataSetState::dsInsert && row > currentRow())
        --row;
    return InternalValue(row, field.Index());
}

std::string TDataSet::displayTextAt(int row, const TField& field) const
{
    const auto value = valueAt(row, field);
    if (field.IsBlob())
        return TField::placeholder(field.DataType(), value.has_value());
    return value.value_or(std::string());
}

TDataSetState TDataSet::rowState(int row) const noexcept
{
    if (!Active())
        return TDataSetState::dsInactive;
    return row == currentRow() ? state_ : TDataSetState::dsBrowse;
}

std::optional<std::string> TDataSet::currentValue(const TField& field) const
{
    if (!Active())
        return std::nullopt;
    const auto index = static_cast<std::size_t>(field.Index());
    if (isEditing(state_) && index < pending_.size() && pending_[index])
        return *pending_[index];
    if (state_ == TDataSetState::dsInsert || current_ < 0)
        return std::nullopt;
    return InternalValue(current_, field.Index());
}

void TDataSet::setFieldValue(const TField& field, std::optional<std::string> value)
{
    if (!isEditing(state_))
        DatabaseError(kNotEditing, this);
    if (field.ReadOnly())
        throw EDatabaseError("Field '" + field.FieldName() + "' cannot be modified");
    pending_.at(static_cast<std::size_t>(field.Index())) = std::move(value);
    modified_ = true;
    DataEvent(TDataEvent::deFieldChange, 0, const_cast<TField*>(&field));
}

TField& TDataSet::addField(std::string fieldName, TFieldType dataType, int size)
{
    const int index = FieldCount();
    fields_.push_back(std::make_unique<TField>(*this, index, std::move(fieldName), dataType, size));
    return *fields_.back();
}

void TDataSet::clearFields() noexcept
{
    fields_.clear();
    pending_.clear();
}

void TDataSet::checkActive() const
{
    if (!Active())
        DatabaseError(kClosed, this);
}

void TDataSet::checkCanModify() const
{
    if (!CanModify())
        DatabaseError(kReadOnly, this);
}

void TDataSet::setState(TDataSetState state)
{
    if (state == state_)
        return;
    state_ = state;
    DataEvent(TDataEvent::deUpdateState);
}

void TDataSet::dropChange() noexcept
{
    std::ranges::fill(pending_, std::nullopt);
    modified_ = false;
}

void TDataSet::DataEvent(TDataEvent event, int distance, TField* field)
{
    // Every data source hears of the event even when one of them fails; the first failure goes on.
    std::exception_ptr failure;
    const std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources) {
        if (std::ranges::find(dataSources_, source) == dataSources_.end())
            continue;
        try {
            source->dataEvent(event, distance, field);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TDataSet::addDataSource(TDataSource* source)
{
    if (std::ranges::find(dataSources_, source) == dataSources_.end())
        dataSources_.push_back(source);
}

void TDataSet::removeDataSource(TDataSource* source) noexcept
{
    std::erase(dataSources_, source);
}

}  // namespace vcl
