#pragma once
// Before a bank is read: a write that a crash cut off (its journal is still beside the bank) is put back
// first, so that nothing half-written is ever read.
#include <filesystem>

namespace ado {

// Does nothing when there is no journal. When the bank cannot be written (a read-only file, or another
// writer that keeps its lock), the bank is left for that writer or a later open to repair.
void putBackInterruptedWrite(const std::filesystem::path& bank);

}  // namespace ado
