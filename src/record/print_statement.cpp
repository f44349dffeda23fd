#include "record/print_statement.h"

namespace celvio {

namespace {

constexpr int kZoneWidth = 14;
constexpr int kPieceLength = 50;
constexpr int kMaxPieces = 4;

}  // namespace

PrintStatement& PrintStatement::Text(const QString& text)
{
    lines_.last() += text;
    return *this;
}

PrintStatement& PrintStatement::Tab(int column)
{
    const qsizetype target = std::max(column, 1) - 1;  // blanks before the column
    if (lines_.last().size() > target) {
        lines_.append(QString(target, QLatin1Char(' ')));
        return *this;
    }
    lines_.last() += QString(target - lines_.last().size(), QLatin1Char(' '));
    return *this;
}

PrintStatement& PrintStatement::Zone()
{
    const qsizetype at = lines_.last().size();
    const qsizetype next = (at / kZoneWidth + 1) * kZoneWidth;
    lines_.last() += QString(next - at, QLatin1Char(' '));
    return *this;
}

PrintStatement& PrintStatement::Number(qint64 value)
{
    const QString digits = QString::number(value);
    lines_.last() += (value < 0 ? digits : QLatin1Char(' ') + digits) + QLatin1Char(' ');
    return *this;
}

QStringList TextPieces(const QString& text)
{
    QStringList pieces;
    for (int i = 0; i < kMaxPieces && i * kPieceLength < text.size(); ++i)
        pieces << text.mid(i * kPieceLength, kPieceLength);
    return pieces;
}

}  // namespace celvio
