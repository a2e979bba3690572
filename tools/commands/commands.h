#pragma once
// The commands' entry points; each throws Failure, jet::Error or ado::EngineError when it cannot finish.
#include "cli/command_entry.h"

namespace tool {

void runNew(const Arguments& arguments, OutputBuffer& out);
void runImport(const Arguments& arguments, OutputBuffer& out);
void runTables(const Arguments& arguments, OutputBuffer& out);
void runSchema(const Arguments& arguments, OutputBuffer& out);
void runCount(const Arguments& arguments, OutputBuffer& out);
void runExport(const Arguments& arguments, OutputBuffer& out);
void runSql(const Arguments& arguments, OutputBuffer& out);
void runCheck(const Arguments& arguments, OutputBuffer& out);

}  // namespace tool
