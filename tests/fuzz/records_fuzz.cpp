// The record files (<ID>ACT.IWR, <ID>ACT.IME), read from their bytes with either tag.
//
// Checks: no END line is kept among the lines; the count is never negative; a file
// whose END line had to be repaired is counted by its records; the lines and count
// written back with the program's own writer read again as the same lines and count,
// with an END line that needs no repair.
#include "fuzz_support.h"

#include "swap/swap_records.h"

using namespace celvio;
using celvio::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString input = fuzz::Text(data, size);
    for (const QString& tag : {QStringLiteral("SWAP"), QStringLiteral("IMEI")}) {
        RecordFileContents contents;
        ParseRecordFile(bytes, tag, contents);
        Check(contents.Count >= 0, "the record count is not negative", input);
        int records = 0;
        for (const QString& line : contents.Lines) {
            Check(!line.startsWith(QLatin1String("END")), "no END line among the lines", input);
            if (line.startsWith(tag + QLatin1Char('\t')))
                ++records;
        }
        if (contents.EndRepaired)
            Check(contents.Count == records, "a repaired count is the count of records", input);

        const QByteArray written = RecordFileBytes(contents.Lines, contents.Count);
        RecordFileContents again;
        ParseRecordFile(written, tag, again);
        Check(!again.EndRepaired, "a record file written back has a sound END line", QString::fromLatin1(written));
        Check(again.Count == contents.Count, "a record file written back keeps its count", input);
        Check(again.Lines == contents.Lines, "a record file written back keeps its lines", input);
    }
    return 0;
}
