// The blocked-channel list on disk: the channels that real networks near the station use, as
// one text of entries " n," (a blank, the channel, a comma), kept in BlockedChannels
// and on disk in "BADCHAN.DAT" as one line: the text in double quotes, then CR LF.
// Channel n is blocked when the text contains " n,".
#pragma once
#include <QByteArray>
#include <QString>
namespace celvio {
struct App;
// The list entry of a channel: " n,".
QString BlockedChannelEntry(int channel);
// The list text of "BADCHAN.DAT": the text between the first pair of double quotes of
// its first line (a line without quotes is taken as it stands). Empty, and true, when
// the file is missing; empty, and false, when it exists but cannot be read.
bool ReadBlockedChannelFile(App& app, QString& text);
// The list text of the file's bytes (ReadBlockedChannelFile reads the file and calls it).
QString BlockedChannelTextOf(const QByteArray& bytes);
// The bytes that SaveBlockedChannels writes for a list text: without its double quotes,
// between a pair of them, then CR LF.
QByteArray BlockedChannelFileBytes(const QString& text);
// Appends channel n (when n > 0) and writes "BADCHAN.DAT" when n > 0 or a scan runs
// (ScanWritesList). A failed write is reported to the operator.
void SaveBlockedChannels(App& app, int channel);
// "Clear + search": the old list becomes "badchan.old" (replacing an older backup),
// so the scan starts from an empty list. Errors are ignored.
void ClearBlockedChannels(App& app);
}  // namespace celvio
