// Files of the station directory. Names are matched without regard to case; data
// files are 8-bit Latin-1 text with CR LF line ends; every file that the program
// rewrites goes to a temporary file that is then renamed over the old one.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace celvio {

struct App;

// Test seam of the writes below: a disk that fails. After `bytesBeforeFailure` more
// bytes every write fails (as when the disk is full; the writes count the bytes down);
// with `failSync` the sync to disk fails; with `readOnly` no file can be opened for
// writing (a read-only disk). The default value is a sound disk. Each write takes one
// as its last parameter; null is the disk as it is.
struct FileWriteFault {
    qint64 bytesBeforeFailure = -1;  // -1: writes do not fail
    bool failSync = false;
    bool readOnly = false;
};

// The file layer's test seams, carried by the App (`app.FileSeams`) to every write of
// the program: the disk fault above, and a hook called with the name of each file
// operation of a rewrite in several steps (the swap record files and their archive),
// at which a test may stop the process. As they are, they change nothing.
struct FileSeams {
    FileWriteFault Fault;
    void (*StepHook)(const char* step) = nullptr;
};

// The path of `name` (which may contain "/" separated directories) below `dir`, each
// part matched without regard to case against what exists. Parts that do not exist
// keep the spelling given.
QString ResolvePath(const QString& dir, const QString& name);

// ResolvePath below the station directory.
QString StationPath(const App& app, const QString& name);

// True when `name` names an existing file of the station directory; false for an empty
// name or on any error.
bool FileExists(const App& app, const QString& name);

// The whole file as bytes; false when it cannot be read.
bool ReadFileBytes(const QString& path, QByteArray& out);

// The lines of a text file: Latin-1, a line ends at CR LF, LF or a lone CR; the line
// ends are not part of the lines. False (and no lines) when the file cannot be read.
bool ReadTextLines(const QString& path, QStringList& lines);

// The lines of a text file's bytes, split as ReadTextLines splits them.
QStringList SplitTextLines(const QByteArray& bytes);

// Latin-1 text <-> bytes.
QString FromLatin1(const QByteArray& bytes);
QByteArray ToLatin1(const QString& text);

// The first character of `text` that Latin-1 cannot hold (code above 255), named for
// a message: itself in double quotes and its code, as in "€" (U+20AC); a character
// beyond U+FFFF is named whole. Empty when every character fits.
QString NonLatin1Character(const QString& text);

// True when the last part of `path` is a symbolic link, dangling or not. The folders
// above it may be links (RESULTS kept on another disk, for example).
bool IsSymLink(const QString& path);

// True when anything has the name `path`: a file, a folder, a link (dangling or not).
bool NameInUse(const QString& path);

// Why a write to a name that is a symbolic link is refused.
QString SymLinkRefusal();

// Writes `bytes` to `path` through a temporary file in the same folder ("<name>.XXXXXX")
// renamed over the old one. Every write, the flush and the sync to disk are checked
// before the rename. Returns false on any error; the old file is then untouched and
// the temporary file removed, and `reason`, when given, says why. A name that is a
// symbolic link is refused: no file is ever written through a link.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* reason = nullptr,
                     FileWriteFault* fault = nullptr);

// Writes `bytes` as a new file of `folder` under the first name that nothing has yet:
// `nameAt(0)`, `nameAt(1)` ... (an empty name ends the list). A name taken in any
// spelling of upper and lower case, or by a symbolic link, is passed over; the name is
// claimed without replacing anything, so a file that another program created a moment
// ago under the same name is kept and the next name taken. Returns the path written,
// or an empty text with `reason` on failure (nothing is left behind then). The names
// passed over because they were links are added to `links`.
QString WriteNewFile(const QString& folder, const std::function<QString(int)>& nameAt, const QByteArray& bytes,
                     QString* reason = nullptr, QStringList* links = nullptr, FileWriteFault* fault = nullptr);

// Appends `bytes` to `path`, creating it if needed: all of them or nothing. On a
// failed write the file is cut back to its old size (a file that did not exist is
// removed again). Appends of two programs to one file take turns. A name that is a
// symbolic link is refused. False on any error, with `reason` when given.
bool AppendFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr,
                FileWriteFault* fault = nullptr);

// Appends `line` and CR LF to a text file, whole or not at all (as AppendFile). When
// the file's last line has no line end (a hand edit), CR LF is written first, so the
// new line never joins the old one.
bool AppendLine(const QString& path, const QByteArray& line, QString* reason = nullptr,
                FileWriteFault* fault = nullptr);

// Appends `lines` (whole lines, each ending in CR LF) as AppendLine does: a last line
// without line end is ended first. A process killed inside a long write leaves the
// file cut where the system stopped copying, which may be inside a line; the next
// append then starts on a line of its own instead of joining that piece.
bool AppendLines(const QString& path, const QByteArray& lines, QString* reason = nullptr,
                 FileWriteFault* fault = nullptr);

// An exclusive lock on a folder, held while the object lives: files that are read,
// changed and renamed back (the swap record files) are handled under it, so that two
// programs never both build a new version from the same old one. The system drops the
// lock when its holder ends, killed or not. A lock that stays taken for longer than a
// few seconds is given up (Locked() false, Reason() says why); a file system without
// locks is used unlocked.
class FolderLock {
public:
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool Locked() const { return locked_; }
    QString Reason() const { return reason_; }

private:
    int fd_ = -1;
    bool locked_ = false;
    QString reason_;
};

// Tells the operator and the trace that the station file `name` could not be written:
// "File <name> not accessible !" (German: "Datei <name> nicht verfügbar !"), and on
// the next lines the file's path and the system's reason.
void ReportFileNotWritten(App& app, const QString& name, const QString& path, const QString& reason);

// Removes what an interrupted WriteFileAtomic left in the station directory: the
// temporary files "<name>.XXXXXX" of the files the program rewrites (BADCHAN.DAT,
// CPLCONN.INI, swap.dat, the swap record files "*.IWR" / "*.IME" in RESULTS/LOG, and
// the documents printed to "*.pdf" files in PRINTS/).
// Only that pattern of those names is touched; a suffix that is all one case of letters (a word such as
// "backup" or "OLD") is taken for the operator's own file and kept. Each removal is
// traced. Returns the count removed.
int RemoveStaleTemporaryFiles(App& app);

}  // namespace celvio
