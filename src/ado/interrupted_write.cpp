#include "ado/interrupted_write.h"

#include <chrono>
#include <system_error>

#include "jet/error.h"
#include "jet/write/bank_lock.h"
#include "jet/write/page_journal.h"

namespace ado {

void putBackInterruptedWrite(const std::filesystem::path& bank) {
    std::error_code error;
    if (!std::filesystem::exists(jet::journalPathFor(bank), error)) return;
    try {
        // The write lock first: a journal beside a bank that another writer holds is that writer's own.
        jet::BankLock lock(bank, std::chrono::milliseconds(1000));
        jet::rollBackInterruptedWrite(bank);
    } catch (const jet::Error&) {
    }
}

}  // namespace ado
