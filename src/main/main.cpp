#include "main/main.h"

#include "search/search_statement.h"
#include "vcl/data/ado_query.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/status_bar.h"

#include <string>

TForm1* Form1 = nullptr;

TForm1::TForm1(vcl::TComponent* Owner) : vcl::TForm(Owner)
{
    BeginDescription();
    applyDescription();
    FinishDescription();
}

void TForm1::FormCreate(vcl::TComponent* /*Sender*/)
{
    questionCount_ = qry1->RecordCount();
    showQuestionCount();
    followBankChanges();
}

void TForm1::showQuestionCount()
{
    StatusBar1->Panels()[0]->SetText("数据库中共有问题： " + std::to_string(questionCount_) + " 条");
}

void TForm1::followBankChanges()
{
    // Only rows that reach the bank change its count; the number of matches is shown nowhere.
    qry1->AfterPost = [this](vcl::TDataSet&, bool inserted) {
        if (inserted) {
            ++questionCount_;
            showQuestionCount();
        }
    };
    qry1->AfterDelete = [this](vcl::TDataSet&) {
        --questionCount_;
        showQuestionCount();
    };
}

void TForm1::savePendingChange()
{
    if (qry1->Active() && vcl::isEditing(qry1->State()))
        qry1->CheckBrowseMode();
}

bool TForm1::CloseQuery()
{
    savePendingChange();
    return true;
}

void TForm1::FormShow(vcl::TComponent* /*Sender*/)
{
    edt1->SetFocus();
}

void TForm1::edt1Change(vcl::TComponent* /*Sender*/)
{
    const std::string statement = search::statementFor(edt1->Text());
    // A change typed into the full-text view is saved first, as a move of the current row would save it;
    // when the bank refuses it, the error box shows, the change stays and the list is not queried again.
    savePendingChange();
    qry1->Close();
    qry1->SQL().Clear();
    qry1->SQL().Add(statement);
    qry1->Open();
}
