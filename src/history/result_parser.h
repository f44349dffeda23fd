// Reading a stored result file back: the header fields, the verdict and every value
// that carries a mark. The parser takes the file's bytes and never fails on bad input:
// a file that is not a result file comes back with a reason.
#pragma once

#include "core/text.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace celvio {

// What kind of record a result file holds.
enum class ResultKind { Test, DirectSwap };

// The outcome of a test as read from its file. The file says only "Passed" or
// "Failed"; a failed test counts as aborted when a basic function failed (a call or
// the speech loopback is marked failed) or when no value carries a failure mark at all
// (the test broke off before a value could fail).
enum class ResultVerdict { Passed, Failed, Aborted, None };

// One value of the file that carries a mark: "*" failed, "!" passed only on repetition.
struct MarkedValue {
    QString Quantity;  // the quantity's English name without level or limit ("TX Power", "RX Level")
    QString RowName;   // the row name as stored ("MS Leistung 15 (13 dBm)")
    int Channel = 0;   // the traffic channel of the block, 0 for the call rows
    int Band = 1;      // 1 first band, 2 second band of a dual-band test
    QString Value;     // the value without its mark
    QString Limit;     // the limit as stored, without brackets; may be empty
    QChar Mark;        // '*' or '!'
};

struct ParsedResult {
    ResultKind Kind = ResultKind::Test;
    ResultVerdict Verdict = ResultVerdict::None;
    QString Version;
    QString DateText, TimeText;  // as stored
    QDate Date;                  // invalid when the date text cannot be read
    QTime Time;
    QString TesterModel, TesterSerial, Firmware;
    QString Model, System;
    QString Imei, Imsi;
    QString OldImei;  // direct swap: the old phone; Imei is the new one
    QString FaultDescription;  // the customer's fault, or the swap comment of a direct swap
    QString Coupler;
    QList<MarkedValue> Marks;
};

// Reads a result file. `fileDate` (the file's modification day, may be invalid) and
// `order` (the regional order of the station) pick the reading of a date that fits
// both orders of day and month (see ReadShortDate). False, with `reason`, when the
// bytes are not a result file.
bool ParseResultFile(const QByteArray& bytes, const QDate& fileDate, ParsedResult& out, QString* reason = nullptr,
                     DateOrder order = DateOrder::DayFirst);

// The English name of a quantity from a row name of either language ("MS Leistung 5
// (33 dBm)" -> "TX Power"); the row name itself when it is not a known one.
QString QuantityName(const QString& rowName);

// The years a date read from a station's file may have: a counter PC's clock reset to
// its epoch still counts, a year such as 712 or 9999 is damage.
constexpr int kFirstStationYear = 1970;
constexpr int kLastStationYear = 2099;
bool IsPlausibleStationDate(const QDate& date);

// Reads a date written by the program ("08.12.2026", "12/08/2026") or in one of the
// short formats the counter PCs used ("12/7/26", "07.12.26", "2026-12-07", "7/12/2026",
// "8 Dec 2026"). A date that reads both day first and month first takes the reading
// within a day of `near` (the file's own day, may be invalid), else the one in `order`:
// the file's time alone would move a copied or restored test to another day. Among the
// readings still left the one nearest to `near` wins. An invalid date when none fits or
// every reading lies outside the plausible years (the caller then takes the file's own
// date).
QDate ReadShortDate(const QString& text, const QDate& near, DateOrder order);

const char* VerdictName(ResultVerdict verdict);

}  // namespace celvio
