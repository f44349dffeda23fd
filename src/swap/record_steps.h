// Shared by the record files and their archive (this folder only): the test hook run
// before each file operation, and what counts as a record file on disk.
#pragma once

#include <QString>

namespace celvio {
struct FileSeams;
struct FileWriteFault;
}  // namespace celvio

namespace celvio::record_steps {

// The folder of the record files' log, inside the station directory.
inline const QString kLogFolder = QStringLiteral("RESULTS/LOG");

// Calls the step hook of `seams` (null: none), when it has one, with the operation's name.
void Step(const FileSeams* seams, const char* name);

// The disk fault of `seams`, null for none.
FileWriteFault* FaultOf(FileSeams* seams);

// A plain file has the name `path`; a symbolic link is none, whatever it points to.
bool IsPlainFile(const QString& path);

// The tag of the records of a record or hand-over file: "SWAP" (.IWR) or "IMEI".
QString TagOf(const QString& path);

}  // namespace celvio::record_steps
