#pragma once
// The full-text view: the text of one field of the dataset's current row, word-wrapped with its line
// breaks kept. It is empty while the dataset is closed or has no current row, and reloads on every
// notification of its data source.
#include <memory>
#include <string>

#include "vcl/widgets/control.h"

class QPlainTextEdit;

namespace vcl {

class TDataSource;
class MemoDataLink;
class MemoView;

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TDBMemo : public TWinControl {
public:
    explicit TDBMemo(TComponent* owner);
    ~TDBMemo() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* dataSource);
    const std::string& DataField() const noexcept { return dataField_; }
    void SetDataField(std::string dataField);

    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
    void SetScrollBars(TScrollStyle scrollBars);
    bool WantTabs() const noexcept { return wantTabs_; }
    void SetWantTabs(bool wantTabs);

    // The text shown, as UTF-8 with the line breaks it has in the view ("\n").
    std::string Text() const;

    QPlainTextEdit* textEdit() const noexcept;

protected:
    void FontChanged() override;
    void ColorChanged() override;

private:
    friend class MemoDataLink;
    friend class MemoView;
    void loadFromField();
    // Editing: whether a change may start, starting it, writing the text into the row, taking it back.
    bool changeAllowed() const;
    bool startChange();
    void writeToField();
    void revertText();

    MemoView* view_;
    std::unique_ptr<MemoDataLink> link_;
    std::string dataField_;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    bool wantTabs_ = false;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
};

}  // namespace vcl
