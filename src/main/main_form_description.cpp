// The window description of TForm1: the window's own settings, then its components in the order in which
// they are created (lbl1, dbgrd1, edt1, DBMemo1, StatusBar1, ds1, qry1), each with its settings, then the
// links between them. Positions and sizes are pixels at 96 dots per inch.
#include "main/main.h"

#include "bank/question_bank.h"
#include "vcl/data/ado_query.h"
#include "vcl/data/data_source.h"
#include "vcl/widgets/accessibility.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/db_memo.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/label.h"
#include "vcl/widgets/status_bar.h"

namespace {

using namespace vcl;

// Every font of the description: face 宋体, GB2312, no style.
void setSongFont(TFont& font, int height, TColor color)
{
    font.SetCharset(GB2312_CHARSET);
    font.SetColor(color);
    font.SetHeight(height);
    font.SetName("宋体");
    font.SetStyle(TFontStyles{});
}

}  // namespace

void TForm1::applyDescription()
{
    // The window.
    SetLeft(392);
    SetTop(238);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetCaption("Tessarinv0.1 powerby Halvorne 20191217 ");
    SetClientHeight(434);
    SetClientWidth(658);
    SetColor(clBtnFace);
    setSongFont(Font(), -12, clBlack);
    SetOldCreateOrder(false);
    SetPosition(TPosition::poDesktopCenter);
    OnCreate = [this](TComponent* sender) { FormCreate(sender); };
    OnShow = [this](TComponent* sender) { FormShow(sender); };
    SetPixelsPerInch(96);
    SetTextHeight(12);

    // The prompt.
    lbl1 = CreateComponent<TLabel>("lbl1");
    lbl1->SetParent(this);
    lbl1->SetBounds(20, 265, 120, 12);
    lbl1->SetCaption("请输入题目的一部分：");

    // The result list.
    dbgrd1 = CreateComponent<TDBGrid>("dbgrd1");
    dbgrd1->SetParent(this);
    dbgrd1->SetBounds(22, 10, 609, 241);
    setSongFont(dbgrd1->Font(), -14, clBlack);
    {
        using enum TDBGridOption;
        dbgrd1->SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
                            dgConfirmDelete, dgCancelOnExit});
    }
    dbgrd1->SetParentFont(false);
    dbgrd1->SetTabOrder(0);
    setSongFont(dbgrd1->TitleFont(), -12, clBlack);
    TColumn* column = dbgrd1->Columns().Add();
    column->SetExpanded(false);
    column->SetFieldName("题目");
    column->SetWidth(909);
    column->SetVisible(true);

    // The search box.
    edt1 = CreateComponent<TEdit>("edt1");
    edt1->SetParent(this);
    edt1->SetBounds(160, 261, 473, 20);
    edt1->SetTabOrder(1);
    edt1->OnChange = [this](TComponent* sender) { edt1Change(sender); };

    // The full-text view.
    DBMemo1 = CreateComponent<TDBMemo>("DBMemo1");
    DBMemo1->SetParent(this);
    DBMemo1->SetBounds(24, 288, 609, 113);
    DBMemo1->SetDataField("题目");
    setSongFont(DBMemo1->Font(), -16, clBlue);
    DBMemo1->SetParentFont(false);
    DBMemo1->SetTabOrder(2);

    // The status bar: one panel; as the last panel it reaches the bar's right end whatever its width.
    StatusBar1 = CreateComponent<TStatusBar>("StatusBar1");
    StatusBar1->SetParent(this);
    StatusBar1->SetBounds(0, 415, 658, 19);
    StatusBar1->Panels().Add()->SetWidth(50);

    // The data source and the question-bank query; their stored positions (120, 352) and (80, 352) place
    // nothing on the screen.
    ds1 = CreateComponent<TDataSource>("ds1");

    qry1 = CreateComponent<TADOQuery>("qry1");
    qry1->SetConnectionString(std::string(bank::kConnectionString));
    qry1->SetCursorType(TCursorType::ctStatic);
    qry1->Parameters().Clear();
    qry1->SQL().Add(std::string(bank::kInitialStatement));
    qry1->SetActive(true);

    // The links.
    SetAccessibleLabel(*edt1, *lbl1);  // the prompt names the search box for screen readers
    dbgrd1->SetDataSource(ds1);
    DBMemo1->SetDataSource(ds1);
    ds1->SetDataSet(qry1);
}
