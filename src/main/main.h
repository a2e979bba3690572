#pragma once
// The main window: the question list, the search box with its prompt, the full-text view and the status
// line, over the question-bank query.
#include "vcl/widgets/form.h"

namespace vcl {
class TADOQuery;
class TDBGrid;
class TDBMemo;
class TDataSource;
class TEdit;
class TLabel;
class TStatusBar;
}  // namespace vcl

class TForm1 : public vcl::TForm {
public:
    // Built from the window description (main_form_description.cpp).
    explicit TForm1(vcl::TComponent* Owner);

    vcl::TDataSource* ds1 = nullptr;
    vcl::TDBGrid* dbgrd1 = nullptr;
    vcl::TADOQuery* qry1 = nullptr;
    vcl::TEdit* edt1 = nullptr;
    vcl::TLabel* lbl1 = nullptr;
    vcl::TDBMemo* DBMemo1 = nullptr;
    vcl::TStatusBar* StatusBar1 = nullptr;

    // The search box changed: the list keeps the questions that contain its text.
    void edt1Change(vcl::TComponent* Sender);
    // The window is shown: the caret goes into the search box.
    void FormShow(vcl::TComponent* Sender);
    // The window is built: the status line tells how many questions the bank holds.
    void FormCreate(vcl::TComponent* Sender);

    // A change still pending in the views is saved before the window closes; if the bank refuses it,
    // the window stays open with the change.
    bool CloseQuery() override;

private:
    void applyDescription();
    // The status line: the number of questions the bank holds, kept up to date as rows come and go.
    void showQuestionCount();
    void followBankChanges();
    // Saves (or drops, when nothing was written) a change pending in the views, as a move would.
    void savePendingChange();
    int questionCount_ = 0;
};

// The program's main window.
extern TForm1* Form1;
