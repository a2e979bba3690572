#include "vcl/widgets/db_memo.h"

#include <QTextDocument>

#include "vcl/data/data_link.h"
#include "vcl/data/data_source.h"
#include "vcl/data/dataset.h"
#include "vcl/data/exceptions.h"
#include "vcl/data/field.h"
#include "vcl/widgets/memo_view.h"

namespace vcl {

// The memo's link: every notification reloads the text; a change of the fields looks the field up anew.
class MemoDataLink : public TDataLink {
public:
    explicit MemoDataLink(TDBMemo& memo) : memo_(memo) {}

    TField* field() const noexcept { return field_; }

    // Looks the field up in the open dataset; a missing one raises "DBMemo1: Field '题目' not found".
    void updateField()
    {
        field_ = nullptr;
        TDataSet* dataSet = DataSet();
        if (!Active() || !dataSet || memo_.DataField().empty())
            return;
        field_ = dataSet->FindField(memo_.DataField());
        if (!field_) {
            memo_.loadFromField();
            DatabaseError("Field '" + memo_.DataField() + "' not found", &memo_);
        }
    }

protected:
    void ActiveChanged() override
    {
        updateField();
        memo_.loadFromField();
    }
    void LayoutChanged() override
    {
        updateField();
        memo_.loadFromField();
    }
    void DataSetChanged() override { memo_.loadFromField(); }
    void DataSetScrolled(int) override { memo_.loadFromField(); }
    void RecordChanged(TField* field) override
    {
        if (!field || field == field_)
            memo_.loadFromField();
    }
    void EditingChanged() override { memo_.loadFromField(); }
    // Before a save or a move the dataset asks for the text typed so far.
    void UpdateData() override { memo_.writeToField(); }

private:
    TDBMemo& memo_;
    TField* field_ = nullptr;
};

namespace {

// Stored texts break lines with CR LF (or a lone CR or LF); the view breaks them with LF.
QString toViewText(const std::string& stored)
{
    QString text = QString::fromStdString(stored);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The view's line breaks written back as the bank keeps them (CR LF, as Access does).
std::string toStoredText(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toStdString();
}

}  // namespace

TDBMemo::TDBMemo(TComponent* owner)
    : TWinControl(owner), view_(new MemoView), link_(std::make_unique<MemoDataLink>(*this))
{
    view_->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    view_->document()->setDocumentMargin(2);
    view_->setTabChangesFocus(!wantTabs_);
    view_->canChange = [this] { return changeAllowed(); };
    view_->beginChange = [this] {
        bool begun = false;
        CallHandler([&] { begun = startChange(); });
        return begun;
    };
    view_->escapePressed = [this] { revertText(); };
    view_->focusLeft = [this] {
        // Writing can fail (a text the column cannot take): the focus comes back and the box says why.
        CallHandler([&] {
            try {
                if (link_->Editing() && view_->document()->isModified())
                    link_->UpdateRecord();
            } catch (...) {
                view_->setFocus(Qt::OtherFocusReason);
                throw;
            }
        });
    };
    SetHandle(view_);
    SetWordWrap(wordWrap_);
    SetScrollBars(scrollBars_);
    SetColor(clWindow);
}

TDBMemo::~TDBMemo()
{
    link_.reset();
    DestroyHandle();
}

TDataSource* TDBMemo::DataSource() const
{
    return link_->DataSource();
}

void TDBMemo::SetDataSource(TDataSource* dataSource)
{
    link_->SetDataSource(dataSource);
    if (!Loading())
        link_->updateField();
    loadFromField();
}

void TDBMemo::SetDataField(std::string dataField)
{
    dataField_ = std::move(dataField);
    if (!Loading())
        link_->updateField();
    loadFromField();
}

void TDBMemo::SetWordWrap(bool wordWrap)
{
    wordWrap_ = wordWrap;
    view_->setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    // Chinese has no blanks between words: a line breaks between any two characters when it must.
    view_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TDBMemo::SetScrollBars(TScrollStyle scrollBars)
{
    scrollBars_ = scrollBars;
    const bool vertical = scrollBars == TScrollStyle::ssVertical || scrollBars == TScrollStyle::ssBoth;
    const bool horizontal = scrollBars == TScrollStyle::ssHorizontal || scrollBars == TScrollStyle::ssBoth;
    view_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    view_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TDBMemo::SetWantTabs(bool wantTabs)
{
    wantTabs_ = wantTabs;
    view_->setTabChangesFocus(!wantTabs);
}

std::string TDBMemo::Text() const
{
    return view_->toPlainText().toStdString();
}

QPlainTextEdit* TDBMemo::textEdit() const noexcept
{
    return view_;
}

void TDBMemo::FontChanged()
{
    TWinControl::FontChanged();
}

void TDBMemo::ColorChanged()
{
    QPalette palette = view_->palette();
    palette.setColor(QPalette::Base, toQColor(Color()));
    view_->setPalette(palette);
}

void TDBMemo::loadFromField()
{
    const TField* field = link_->field();
    const TDataSet* dataSet = link_->DataSet();
    QString text;
    if (field && dataSet && link_->Active() && dataSet->currentRow() >= 0)
        text = toViewText(field->AsString());
    if (text != view_->toPlainText() || view_->document()->isModified())
        view_->setPlainText(text);
}

bool TDBMemo::changeAllowed() const
{
    const TDataSet* dataSet = link_->DataSet();
    return !readOnly_ && link_->Active() && link_->field() && dataSet && dataSet->CanModify();
}

bool TDBMemo::startChange()
{
    if (!changeAllowed())
        return false;
    if (!link_->Editing())
        link_->Edit();  // a new row when the result is empty
    return link_->Editing();
}

void TDBMemo::writeToField()
{
    TField* field = link_->field();
    if (!field || !link_->Editing() || !view_->document()->isModified())
        return;
    field->SetAsString(toStoredText(view_->toPlainText()));
    view_->document()->setModified(false);
}

void TDBMemo::revertText()
{
    // The text the row holds: as the view last wrote it, or as stored.
    const TField* field = link_->field();
    const TDataSet* dataSet = link_->DataSet();
    QString text;
    if (field && dataSet && link_->Active() && dataSet->currentRow() >= 0)
        text = toViewText(field->AsString());
    view_->setPlainText(text);
    view_->document()->setModified(false);
}

}  // namespace vcl
