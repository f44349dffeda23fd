// The result file: the writer (record -> bytes) and the reader (bytes -> record) of
// one format, over one table of keys (result_file_keys.h). A record read back from the
// bytes the writer made holds everything the file holds, and the bytes of a file the
// reader accepts are written again as they were, except where the file is not in the
// form this program writes (another column, a mark without its blank: such a file is
// written in the program's form).
//
// The file holds, of a test: the program's version, date and time, the verdict as
// "Passed" or "Failed", the tester, the phone (model, system, IMEI, IMSI), the fault
// description (200 characters), the coupler, the control channel and generator level,
// the calls, and per traffic channel the readings that the catalogue lists for it
// (ColumnUse::Listed) with their limits. It does not hold the attempts, the other
// readings, the customer's other texts, the path attenuations, nor whether the verdict
// was an abort: the reader counts a failed test as aborted when a call or the speech
// loopback failed, or when no reading failed at all.
#pragma once

#include "core/text.h"
#include "record/cycle_record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace celvio {

// The result file of a tested phone (Latin-1, CR LF).
QByteArray ResultFileBytes(const CycleRecord& record);

// The record of a phone swapped without a test: date, tester, the old and the new
// IMEI (OldImei, Imei) and the swap comment.
QByteArray DirectSwapFileBytes(const CycleRecord& record);

// The cellular system as the file names it ("GSM,PCN" is "GSM900,1800"; another code
// as it is).
QString SystemName(const QString& systemCode);

// "( min - max dBm )" of a TX power cell of band 1 or 2, as the file shows its limit;
// "(  dBm )" when the system names no band with power tables there.
QString PowerRangeText(const CycleRecord& record, int band, RowId row, int column);

// A cell of a record: band 1..2, traffic channel column 1..3 (the call rows: 1).
struct CellRef {
    int Band = 1;
    RowId Row = RowId::TxPower1;
    int Column = 1;

    bool operator==(const CellRef&) const = default;
};

// Reads a result file into `out`. `fileDate` (the file's modification day, may be
// invalid) and `order` (the regional order of the station) pick the reading of a date
// that fits both orders of day and month (ReadShortDate). False, with `reason`, when
// the bytes are not a result file. `cellsRead` receives the cells the file holds, in
// its order.
bool ReadResultFile(QByteArrayView bytes, const QDate& fileDate, CycleRecord& out, QString* reason = nullptr,
                    DateOrder order = DateOrder::DayFirst, QList<CellRef>* cellsRead = nullptr);

}  // namespace celvio
