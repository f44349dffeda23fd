// Shared by the record files and their archive (this folder only): the test hook run
// before each file operation, and what counts as a record file on disk.
#pragma once

#include <QString>

namespace celvio::record_steps {

// Calls the hook of SetFileStepHook, when one is set, with the operation's name.
void Step(const char* name);

// A plain file has the name `path`; a symbolic link is none, whatever it points to.
bool IsPlainFile(const QString& path);

// The tag of the records of a record or hand-over file: "SWAP" (.IWR) or "IMEI".
QString TagOf(const QString& path);

}  // namespace celvio::record_steps
