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
    StatusBar1->Panels()[0]->SetText("数据库中共有问题： " + std::to_string(qry1->RecordCount()) + " 条");
}

void TForm1::FormShow(vcl::TComponent* /*Sender*/)
{
    edt1->SetFocus();
}

void TForm1::edt1Change(vcl::TComponent* /*Sender*/)
{
    const std::string statement = search::statementFor(edt1->Text());
    qry1->Close();
    qry1->SQL().Clear();
    qry1->SQL().Add(statement);
    qry1->Open();
}
