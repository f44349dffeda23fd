// The dates of the station's files read back: the program's own ("08.12.2026",
// "12/08/2026") and the short formats the counter PCs wrote before ("12/7/26",
// "07.12.26", "2026-12-07", "7/12/2026", "8 Dec 2026").
#pragma once

#include "core/text.h"

#include <QDate>
#include <QString>

namespace celvio {

// The years a date read from a station's file may have: a counter PC's clock reset to
// its epoch still counts, a year such as 712 or 9999 is damage.
constexpr int kFirstStationYear = 1970;
constexpr int kLastStationYear = 2099;
bool IsPlausibleStationDate(const QDate& date);

// Reads a date written by the program or by a counter PC. A date that reads both day
// first and month first takes the reading within a day of `near` (the file's own day,
// may be invalid), else the one in `order`: the file's time alone would move a copied
// or restored test to another day. Among the readings still left the one nearest to
// `near` wins. An invalid date when none fits or every reading lies outside the
// plausible years (the caller then takes the file's own date).
QDate ReadShortDate(const QString& text, const QDate& near, DateOrder order);

}  // namespace celvio
