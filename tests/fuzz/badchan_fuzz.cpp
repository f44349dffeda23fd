// The blocked-channel list "BADCHAN.DAT", read from its bytes.
//
// Checks: the list text holds no line end and no double quote; written back with the
// program's own writer and read again, it is the same text; every channel entry " n,"
// of the text is found blocked again in the text read back.
#include "fuzz_support.h"

#include "core/blocked_channels.h"

using namespace celvio;
using celvio::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = fuzz::Text(data, size);
    const QString text = BlockedChannelTextOf(fuzz::Bytes(data, size));
    Check(!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')), "the list is one line", input);
    const QByteArray written = BlockedChannelFileBytes(text);
    Check(written.startsWith('"') && written.endsWith("\"\r\n"), "the list is written between quotes, then CR LF",
          QString::fromLatin1(written));
    QString expected = text;
    expected.remove(QLatin1Char('"'));
    const QString again = BlockedChannelTextOf(written);
    Check(again == expected, "the list written back reads the same", input + QStringLiteral("\n-> ") + again);
    // Every well-formed entry stays blocked.
    for (qsizetype at = text.indexOf(QLatin1Char(' ')); at >= 0 && at + 1 < text.size();
         at = text.indexOf(QLatin1Char(' '), at + 1)) {
        const qsizetype comma = text.indexOf(QLatin1Char(','), at + 1);
        bool ok = false;
        const int channel = comma < 0 ? 0 : text.mid(at + 1, comma - at - 1).toInt(&ok);
        if (ok && channel > 0 && text.mid(at + 1, comma - at - 1) == QString::number(channel))
            Check(again.contains(BlockedChannelEntry(channel)), "a blocked channel stays blocked",
                  QString::number(channel));
    }
    return 0;
}
