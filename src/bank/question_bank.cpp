#include "bank/question_bank.h"

#include <string>

#include "vcl/data/ado_query.h"

namespace bank {

void applyQuestionBankSettings(vcl::TADOQuery& query)
{
    query.SetConnectionString(std::string(kConnectionString));
    query.SetCursorType(vcl::TCursorType::ctStatic);
    query.Parameters().Clear();
    query.SQL().BeginUpdate();
    query.SQL().Clear();
    query.SQL().Add(std::string(kInitialStatement));
    query.SQL().EndUpdate();
}

}  // namespace bank
