// Small text conversions that the tester commands, traces and files share.
#pragma once

#include <QString>
#include <QTime>

namespace celvio {

// A number as text with a blank in front of non-negative values: 62 -> " 62",
// -60 -> "-60", 1.5 -> " 1.5".
QString Str(qint64 value);
QString Str(double value);
QString Str(float value);

// The shortest decimal form of a number without a leading blank (2, 1.5, -0.25).
QString NumberText(double value);
// Single-precision values (attenuations) are written with the digits they hold: 1.1f -> 1.1.
QString NumberText(float value);

// CR LF.
inline const QString kCrLf = QStringLiteral("\r\n");

// Time of day as "hh:mm:ss".
QString TimeText(const QTime& time);

}  // namespace celvio
