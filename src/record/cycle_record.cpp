#include "record/cycle_record.h"

#include "core/number_reader.h"
#include "core/text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace celvio {

namespace {

constexpr int kNominalBurstUs = 553;

qint32 ClampToInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

QString Pick(quint8 language, const char* english, const char* german)
{
    switch (language) {
    case 1: return QString::fromUtf8(english);
    case 2: return QString::fromUtf8(german);
    default: return QString();
    }
}

// A limit's unit in the language: one that differs between the languages is empty
// without a language, as every bilingual text is.
QString LimitUnit(const QuantityRow& q, quint8 language)
{
    if (qstrcmp(q.limitUnit, q.limitUnitGerman) == 0)
        return QString::fromUtf8(q.limitUnit);
    return Pick(language, q.limitUnit, q.limitUnitGerman);
}

// The band whose nominal powers a page shows: the first band of the system on the
// first page (GSM until a 1800 or 1900 band is chosen), the second band on the second.
QString PageBand(const QString& systemCode, bool secondPage)
{
    const QString band = secondPage ? systemCode.right(3) : systemCode.left(3);
    if (band == QLatin1String("PCN") || band == QLatin1String("PCS"))
        return band;
    return secondPage ? QStringLiteral("PCN") : QStringLiteral("GSM");
}

// A number of a limit text: an optional sign and digits with an optional fraction.
// Moves `at` past it; false when there is none, or when its whole part has more than
// 15 digits: no limit is that large, and the file writes whole numbers only that far
// without an exponent, so such a text would not read back as it was written.
bool LimitNumber(QStringView text, qsizetype& at, double& value)
{
    qsizetype i = at;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    const qsizetype digits = i;
    double whole = 0;  // exact up to 2^53, far beyond any limit
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
        whole = whole * 10 + (text[i++].unicode() - '0');
    if (i == digits || whole >= 1e15)
        return false;
    if (i + 1 < text.size() && text[i] == QLatin1Char('.') && text[i + 1] >= QLatin1Char('0') &&
        text[i + 1] <= QLatin1Char('9')) {
        ++i;
        while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
            ++i;
        bool ok = false;
        value = text.mid(start, i - start).toDouble(&ok);
        at = i;
        return ok;
    }
    value = text[start] == QLatin1Char('-') ? -whole : whole;
    at = i;
    return true;
}

void SetLimits(BandReadings& band, RowId row, const QString& text)
{
    const ReadingLimits limits = LimitsOfText(row, text);
    for (Reading& cell : band.Cells[int(row)])
        cell.Limits = limits;
}

// The name and limit of a measured row on one page.
void DescribeRow(CycleRecord& r, BandReadings& band, const QuantityRow& q, const StationSettings& s,
                 quint8 language, bool secondPage)
{
    const QString base = RowBaseName(q.id, language, secondPage);
    const QString unit = LimitUnit(q, language);
    const qint64 setting = q.setting ? qint64(secondPage && q.secondBandSetting ? s.*q.secondBandSetting : s.*q.setting) : 0;
    QString name = base;
    QString limit;
    switch (q.limit) {
    case LimitForm::PowerRange: {
        const int slot = (secondPage ? 3 : 0) + q.powerSlot;
        const QString pageBand = PageBand(r.SystemCode, secondPage);
        const int level = s.MsPowerLevels[slot];
        const int nominal = NominalPower(pageBand, level);
        name = base + QLatin1Char(' ') + QString::number(level) + QStringLiteral(" (") + QString::number(nominal) +
               QStringLiteral(" dBm)");
        limit = Str(qint64(ClampToInt32(nominal - setting))) + QStringLiteral(" -") +
                Str(qint64(ClampToInt32(nominal + setting))) + unit;
        break;
    }
    case LimitForm::UpTo: limit = QStringLiteral("0 -") + Str(setting) + unit; break;
    case LimitForm::PlusMinus: limit = QStringLiteral("+/-") + Str(setting) + unit; break;
    case LimitForm::AroundBurst:
        limit = Str(kNominalBurstUs - setting) + QStringLiteral(" -") + Str(kNominalBurstUs + setting) + unit;
        break;
    case LimitForm::Expected:
        if (r.ExpectedRxLevel) {
            const qint64 expected = *r.ExpectedRxLevel;
            name = base + QStringLiteral(" (") + QString::number(expected) + QLatin1Char(')');
            limit = Str(expected - setting) + QStringLiteral(" - ") + Str(expected + setting) + unit;
        }
        break;
    case LimitForm::Dialled: limit = s.DialNumber; break;
    case LimitForm::None: break;
    }
    band.RowNames[int(q.id)] = IsCallRow(q.id) ? QString() : name;
    SetLimits(band, q.id, limit);
}

}  // namespace

Reading& CycleRecord::At(int band, RowId row, int column)
{
    if (IsCallRow(row))
        return Bands[0].Cells[int(row)][0];
    return Bands[std::clamp(band, 1, kBands) - 1].Cells[int(row)][std::clamp(column, 1, kChannelColumns) - 1];
}

const Reading& CycleRecord::At(int band, RowId row, int column) const
{
    return const_cast<CycleRecord*>(this)->At(band, row, column);
}

char OutcomeCode(ReadingOutcome outcome)
{
    switch (outcome) {
    case ReadingOutcome::Passed: return 'P';
    case ReadingOutcome::PassedOnRepeat: return 'R';
    case ReadingOutcome::Failed: return 'F';
    case ReadingOutcome::NotTested: return 'T';
    case ReadingOutcome::NotNeeded: return 'N';
    }
    return 'T';
}

std::optional<ReadingOutcome> OutcomeOfCode(QChar code)
{
    for (const auto outcome : {ReadingOutcome::Passed, ReadingOutcome::PassedOnRepeat, ReadingOutcome::Failed,
                               ReadingOutcome::NotTested, ReadingOutcome::NotNeeded})
        if (code == QLatin1Char(OutcomeCode(outcome)))
            return outcome;
    return std::nullopt;
}

QString MarkOf(RowId row, ReadingOutcome outcome)
{
    switch (outcome) {
    case ReadingOutcome::Passed:
        return Quantity(row).marks == MarkStyle::Measured ? QStringLiteral(" ") : QString();
    case ReadingOutcome::PassedOnRepeat: return QStringLiteral("! ");
    case ReadingOutcome::Failed: return QStringLiteral("* ");
    case ReadingOutcome::NotTested:
    case ReadingOutcome::NotNeeded: break;
    }
    return QString();
}

QString CaptionOf(RowId row, const Reading& reading)
{
    return MarkOf(row, reading.Outcome) + reading.Text;
}

Colour ColourOf(ReadingOutcome outcome)
{
    switch (outcome) {
    case ReadingOutcome::Passed: return kGreen;
    case ReadingOutcome::PassedOnRepeat: return kRepeatGreen;
    case ReadingOutcome::Failed: return kRed;
    case ReadingOutcome::NotTested:
    case ReadingOutcome::NotNeeded: break;
    }
    return kYellow;
}

Reading ReadingOfCaption(RowId row, const QString& caption)
{
    Reading r;
    r.Attempts = 0;
    auto set = [&](ReadingOutcome outcome, const QString& text) {
        r.Outcome = outcome;
        r.Text = text;
    };
    const bool measured = Quantity(row).marks == MarkStyle::Measured;
    if (caption == kNotTestedText)
        set(ReadingOutcome::NotTested, caption);
    else if (caption == kNotNeededText)
        set(ReadingOutcome::NotNeeded, caption);
    else if (caption == QLatin1String("*"))  // an empty value failed: its blank is lost in the padding
        set(ReadingOutcome::Failed, QString());
    else if (caption == QLatin1String("!"))
        set(ReadingOutcome::PassedOnRepeat, QString());
    else if (caption.startsWith(QLatin1String("* ")))
        set(ReadingOutcome::Failed, caption.mid(2));
    else if (caption.startsWith(QLatin1String("! ")))
        set(ReadingOutcome::PassedOnRepeat, caption.mid(2));
    else if (measured && caption.startsWith(QLatin1Char(' ')))
        set(ReadingOutcome::Passed, caption.mid(1));
    else if (measured && caption.startsWith(QLatin1Char('*')))  // an older or edited file: no blank
        set(ReadingOutcome::Failed, caption.mid(1).trimmed());
    else if (measured && caption.startsWith(QLatin1Char('!')))
        set(ReadingOutcome::PassedOnRepeat, caption.mid(1).trimmed());
    else
        set(ReadingOutcome::Passed, caption);
    r.Value = ReadingNumber(row, r.Text);
    return r;
}

std::optional<double> ReadingNumber(RowId row, const QString& text)
{
    const QuantityRow& q = Quantity(row);
    if (q.range.highest < q.range.lowest)
        return std::nullopt;
    // The units as text, made once (the history reads millions of values).
    static const std::array<QString, kRowCount> units = [] {
        std::array<QString, kRowCount> out;
        for (int r = 0; r < kRowCount; ++r)
            out[r] = QString::fromUtf8(kQuantityRows[r].unit);
        return out;
    }();
    QStringView number(text);
    const QString& unit = units[int(row)];
    if (!unit.isEmpty() && number.endsWith(unit))
        number.chop(unit.size());
    // As ReadMeasured reads a field: one number with nothing but blanks around it,
    // finite and within the quantity's range.
    number = number.trimmed();
    qsizetype consumed = 0;
    const double value = number.isEmpty() ? 0 : ReadNumber(number, &consumed);
    if (consumed == 0 || !number.mid(consumed).trimmed().isEmpty() || !std::isfinite(value) ||
        value < q.range.lowest || value > q.range.highest)
        return std::nullopt;
    return value;
}

ReadingLimits LimitsOfText(RowId row, const QString& text)
{
    ReadingLimits limits{text, std::nullopt, std::nullopt};
    if (Quantity(row).limit == LimitForm::Dialled)
        return limits;
    qsizetype at = 0;
    while (at < text.size() && text[at] == QLatin1Char(' '))
        ++at;
    double low = 0, high = 0;
    if (text.mid(at).startsWith(QLatin1String("+/-"))) {
        at += 3;
        if (LimitNumber(text, at, high) && high >= 0) {
            limits.Low = -high;
            limits.High = high;
        }
        return limits;
    }
    if (!LimitNumber(text, at, low))
        return limits;
    while (at < text.size() && text[at] == QLatin1Char(' '))
        ++at;
    if (at >= text.size() || text[at] != QLatin1Char('-'))
        return limits;
    ++at;
    if (LimitNumber(text, at, high)) {
        limits.Low = low;
        limits.High = high;
    }
    return limits;
}

void StoreReading(CycleRecord& record, int band, RowId row, int column, const QString& text, ReadingOutcome outcome,
                  int attempts)
{
    Reading& cell = record.At(band, row, column);
    cell.Text = text;
    cell.Value = ReadingNumber(row, text);
    cell.Outcome = outcome;
    cell.Attempts = attempts;
}

void StoreReadings(CycleRecord& record, const QList<MeasuredReading>& readings)
{
    for (const MeasuredReading& m : readings)
        StoreReading(record, m.Band, m.Row, m.Column, m.Text, m.Outcome, m.Attempts);
}

void ResetReadings(CycleRecord& record)
{
    for (BandReadings& band : record.Bands) {
        for (int r = 0; r < kRowCount; ++r) {
            for (int c = 1; c <= kChannelColumns; ++c) {
                Reading& cell = band.Cells[r][c - 1];
                const bool notNeeded = !IsCallRow(RowAt(r)) && UseOf(RowAt(r), c) == ColumnUse::NotNeeded;
                cell.Text = notNeeded ? kNotNeededText : kNotTestedText;
                cell.Value.reset();
                cell.Outcome = notNeeded ? ReadingOutcome::NotNeeded : ReadingOutcome::NotTested;
                cell.Attempts = 0;
            }
        }
        band.Attenuations = {};
    }
}

void DescribeRows(CycleRecord& record, const StationSettings& settings, quint8 language)
{
    for (int b = 0; b < kBands; ++b)
        for (const QuantityRow& q : kQuantityRows)
            DescribeRow(record, record.Bands[b], q, settings, language, b == 1);
}

void TakeStationFacts(CycleRecord& record, const StationState& st)
{
    record.Version = st.Version;
    record.DateText = st.CycleDate;
    record.TimeText = st.CycleTime;
    record.Date = st.CycleDay;
    record.Time = QTime::fromString(st.CycleTime, QStringLiteral("hh:mm:ss"));
    record.TesterModel = st.TesterModel;
    record.TesterSerial = st.TesterSerial;
    record.TesterFirmware = st.TesterFirmware;
    record.SystemCode = st.SystemCode;
    record.Coupler = st.CouplerLabel;
    record.ControlChannel = st.ControlChannel;
    record.GeneratorLevel = st.GeneratorLevel;
    record.TrafficChannels = st.TrafficChannels;
    record.FaultDescription = st.FaultDescription;
    record.ClubNumber = st.ClubZavarNumber;
    record.SwapComment = st.SwapComment;
    record.OldImei = st.OldImei;
    DescribeRows(record, st, st.Language);
}

}  // namespace celvio
