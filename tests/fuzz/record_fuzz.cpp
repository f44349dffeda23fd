// The result file's format both ways: the bytes read by the record's reader, written
// again by its writer, and read once more.
//
// Checks: the writer's bytes of a record the reader accepted are accepted again and
// are written again byte for byte, and the record read from them reads back equal from
// its own bytes. A file in another form (a cell the program never writes, a limit not in
// the form it writes) is written once in the program's form and from then on stays as
// it is; a direct swap likewise through its own writer.
#include "fuzz_support.h"

#include "record/result_file_format.h"

using namespace celvio;
using celvio::fuzz::Check;

namespace {

QByteArray Written(const CycleRecord& record)
{
    return record.Kind == RecordKind::DirectSwap ? DirectSwapFileBytes(record) : ResultFileBytes(record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString input = fuzz::Text(data, size);
    const DateOrder order = size % 2 ? DateOrder::MonthFirst : DateOrder::DayFirst;
    const QDate fileDay(2026, 12, 8);

    CycleRecord record;
    if (!ReadResultFile(bytes, fileDay, record, nullptr, order))
        return 0;
    const QByteArray written = Written(record);
    CycleRecord again;
    QString reason;
    Check(ReadResultFile(written, fileDay, again, &reason, order),
          "the writer's bytes of an accepted file are accepted", input + QStringLiteral("\n") + reason);
    Check(Written(again) == written, "the writer's bytes are written again byte for byte",
          input + QStringLiteral("\n--- written:\n") + QString::fromLatin1(written) +
              QStringLiteral("\n--- written again:\n") + QString::fromLatin1(Written(again)));
    CycleRecord third;
    Check(ReadResultFile(Written(again), fileDay, third, nullptr, order) && third == again,
          "a record read from the writer's bytes reads back equal", input);
    return 0;
}
