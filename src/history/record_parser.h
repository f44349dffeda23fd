// Reading a swap record file (RESULTS/LOG/<ID>ACT.IWR and .IME, and their archives in
// BACKUP<yy>/) back. The parser takes the file's bytes; a line it cannot read is
// counted and passed over, never fatal.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace celvio {

// One record line: "SWAP" lines of the swap file, "IMEI" lines of the IMEI file.
struct SwapRecord {
    int Line = 0;  // 1-based line number in the file
    bool SwapFile = false;
    QString OldImei, NewImei, ClubNumber;
    QString DateText;  // eight digits as stored
    QDate Date;        // invalid when the eight digits are not a date
    QString Result;    // "PASS", "FAIL" or "SWAP" (IMEI file only)
};

struct ParsedRecords {
    bool SwapFile = false;  // "IWRSWAP" file, else "IWRIMEI"
    QString ServicePointId;
    QString Created;  // the header's record date
    QList<SwapRecord> Records;
    int BadLines = 0;    // lines that are neither header, record nor END
    int EndCount = -1;   // the count on the END line, -1 when there is none
};

// Reads a record file. False, with `reason`, when the bytes are not a record file (no
// "IWRSWAP" or "IWRIMEI" header).
bool ParseHistoryRecords(const QByteArray& bytes, ParsedRecords& out, QString* reason = nullptr);

}  // namespace celvio
