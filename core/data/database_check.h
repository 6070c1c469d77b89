// What the program needs of the file it opens: the nine tables with the
// columns its statements name, on pages the engine reads back as sound.
// Nothing else is asked for: the tables added since (which the upgrade at
// start-up brings to an older file) and whatever a newer program added are
// not looked at, so files and copies of every generation pass.
#pragma once

#include "core/db/engine.h"

#include <string>

namespace lty {

// The 38 data columns of tblProject, in statement order (IntID not included),
// comma-separated as the statements name them: made from the project
// record's own column table, so the check and the statements name the same.
const std::string& ProjectColumnList();

// Empty for a sound file; otherwise one line per fault, e.g. "缺少数据表 TBLITEM",
// "数据表 TBLITEM 缺少列 Parent_ID" or "数据库文件已损坏". Raises nothing.
std::string CheckDatabaseFile(TADOConnection& connection);

// The first line of the refusal of a copy that may not replace the data.
inline constexpr const char* kCopyRefused = "备份文件已损坏或不是本程序的数据库，未恢复！";

// The database file at `path` (a backup copy) looked at exactly as the
// connection looks at its file, without writing to it: empty when it may
// replace the data, else the refusal followed by one line per fault.
std::string CheckDatabaseCopy(const std::string& path);
// Raises EngineError with that refusal unless the copy is fit.
void RequireDatabaseCopy(const std::string& path);

} // namespace lty
