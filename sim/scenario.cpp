#include "scenario.h"

#include <QFile>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace sim {

bool ReadReal(const QString& text, double& out)
{
    // Always with a decimal point, whatever the locale of the process that reads: a
    // program that runs under German regional settings reads "2.5" as a scenario or the
    // tester's line means it, not as 2.
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* const last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    if (first == last || *first == '+' || (*first == '-' && first != bytes.constData()))
        return false;
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last)
        return false;
    out = value;
    return true;
}

namespace {

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

bool parseInt(const QString& v, int min, int max, int& out, QString* error)
{
    bool ok = false;
    const int n = v.trimmed().toInt(&ok);
    if (!ok)
        return fail(error, QStringLiteral("'%1' is not a whole number").arg(v));
    if (n < min || n > max)
        return fail(error, QStringLiteral("%1 is outside %2..%3").arg(n).arg(min).arg(max));
    out = n;
    return true;
}

bool parseDouble(const QString& v, double& out, QString* error)
{
    double d = 0;
    if (!ReadReal(v, d))
        return fail(error, QStringLiteral("'%1' is not a number").arg(v));
    // "nan" and "inf" read as numbers, but no simulated quantity can take them.
    if (!std::isfinite(d))
        return fail(error, QStringLiteral("'%1' is not a finite number").arg(v.trimmed()));
    out = d;
    return true;
}

bool parseBool(const QString& v, bool& out, QString* error)
{
    const QString t = v.trimmed().toLower();
    if (t == u"on" || t == u"true" || t == u"yes" || t == u"1")
        out = true;
    else if (t == u"off" || t == u"false" || t == u"no" || t == u"0")
        out = false;
    else
        return fail(error, QStringLiteral("'%1' is not on/off").arg(v));
    return true;
}

// The longest delay a scenario may give: a day.
constexpr double kLongestDelayS = 86400;

// Seconds (fractions allowed) or "never".
bool parseDelay(const QString& v, double& out, QString* error)
{
    if (v.trimmed().compare(u"never", Qt::CaseInsensitive) == 0) {
        out = kNever;
        return true;
    }
    double d = 0;
    if (!parseDouble(v, d, error))
        return false;
    if (d < 0)
        return fail(error, QStringLiteral("a delay cannot be negative (use 'never')"));
    // A huge delay ("1e308") would overflow the simulator's clock in milliseconds.
    if (d > kLongestDelayS)
        return fail(error, QStringLiteral("a delay cannot be longer than %1 s (use 'never')").arg(kLongestDelayS));
    out = d;
    return true;
}

bool parseDigits(const QString& v, QString& out, QString* error)
{
    static const QRegularExpression keypad(QStringLiteral("^[0-9*#+]*$"));
    const QString t = v.trimmed();
    if (!keypad.match(t).hasMatch())
        return fail(error, QStringLiteral("'%1' holds characters that are not on a keypad").arg(v));
    out = t;
    return true;
}

bool parseBands(const QString& v, unsigned& out, QString* error)
{
    unsigned bits = 0;
    for (const QString& part : v.split(u',', Qt::SkipEmptyParts)) {
        const auto band = parseBand(part);
        if (!band)
            return fail(error, QStringLiteral("'%1' is not GSM, PCN or PCS").arg(part.trimmed()));
        bits |= bandBit(*band);
    }
    if (bits == 0)
        return fail(error, QStringLiteral("a phone needs at least one band"));
    out = bits;
    return true;
}

// "17:42, 25:30, 600:255"
bool parseChannels(const QString& v, QMap<int, int>& out, QString* error)
{
    QMap<int, int> table;
    for (const QString& entry : v.split(u',', Qt::SkipEmptyParts)) {
        const QStringList pair = entry.split(u':');
        int channel = 0;
        int level = 0;
        if (pair.size() != 2)
            return fail(error, QStringLiteral("'%1' is not channel:level").arg(entry.trimmed()));
        if (!parseInt(pair[0], 0, 1023, channel, error) || !parseInt(pair[1], 0, 255, level, error))
            return false;
        if (level > 63 && level != 255)
            return fail(error, QStringLiteral("level %1 must be 0..63 or 255").arg(level));
        table.insert(channel, level);
    }
    out = table;
    return true;
}

using Setter = std::function<bool(Scenario&, const QString&, QString*)>;

Setter text(QString Scenario::*field)
{
    return [field](Scenario& s, const QString& v, QString*) {
        s.*field = v.trimmed();
        return true;
    };
}

Setter integer(int Scenario::*field, int min, int max)
{
    return [=](Scenario& s, const QString& v, QString* e) { return parseInt(v, min, max, s.*field, e); };
}

Setter delay(double Scenario::*field)
{
    return [field](Scenario& s, const QString& v, QString* e) { return parseDelay(v, s.*field, e); };
}

Setter attempts(AttemptSet Faults::*field)
{
    return [field](Scenario& s, const QString& v, QString* e) {
        return AttemptSet::parse(v, s.faults.*field, e);
    };
}

Setter faultInt(int Faults::*field, int min, int max)
{
    return [=](Scenario& s, const QString& v, QString* e) { return parseInt(v, min, max, s.faults.*field, e); };
}

Setter faultDouble(double Faults::*field)
{
    return [field](Scenario& s, const QString& v, QString* e) { return parseDouble(v, s.faults.*field, e); };
}

Setter faultText(QString Faults::*field)
{
    return [field](Scenario& s, const QString& v, QString*) {
        s.faults.*field = v.trimmed();
        return true;
    };
}

Setter lineSelector(LineSelector Faults::*field)
{
    return [field](Scenario& s, const QString& v, QString* e) {
        return LineSelector::parse(v, s.faults.*field, e);
    };
}

const std::map<QString, Setter>& setters()
{
    static const std::map<QString, Setter> table{
        {QStringLiteral("seed"),
         [](Scenario& s, const QString& v, QString* e) {
             int n = 0;
             if (!parseInt(v, 0, 2147483647, n, e))
                 return false;
             s.seed = static_cast<quint32>(n);
             return true;
         }},
        {QStringLiteral("tester.maker"), text(&Scenario::maker)},
        {QStringLiteral("tester.model"), text(&Scenario::model)},
        {QStringLiteral("tester.serial"), text(&Scenario::serialField)},
        {QStringLiteral("tester.firmware"), text(&Scenario::firmware)},
        {QStringLiteral("tester.identity"), text(&Scenario::identity)},
        {QStringLiteral("tester.latency_min_ms"), integer(&Scenario::latencyMinMs, 0, 60000)},
        {QStringLiteral("tester.latency_max_ms"), integer(&Scenario::latencyMaxMs, 0, 60000)},
        {QStringLiteral("tester.measure_ms"), integer(&Scenario::measureMs, 0, 60000)},
        {QStringLiteral("tester.reset_ms"), integer(&Scenario::resetMs, 0, 60000)},
        {QStringLiteral("phone.imei"), text(&Scenario::imei)},
        {QStringLiteral("phone.imsi"), text(&Scenario::imsi)},
        {QStringLiteral("phone.revision"), integer(&Scenario::revisionLevel, 0, 255)},
        {QStringLiteral("phone.bands"),
         [](Scenario& s, const QString& v, QString* e) { return parseBands(v, s.bands, e); }},
        {QStringLiteral("phone.registration"), delay(&Scenario::registrationDelayS)},
        {QStringLiteral("phone.digits"),
         [](Scenario& s, const QString& v, QString* e) { return parseDigits(v, s.digits, e); }},
        {QStringLiteral("phone.dial"), delay(&Scenario::dialDelayS)},
        {QStringLiteral("phone.answer"), delay(&Scenario::answerDelayS)},
        {QStringLiteral("network.channels"),
         [](Scenario& s, const QString& v, QString* e) { return parseChannels(v, s.usedChannels, e); }},
        {QStringLiteral("network.late_channels"),
         [](Scenario& s, const QString& v, QString* e) { return parseChannels(v, s.lateChannels, e); }},
        {QStringLiteral("network.spread"), integer(&Scenario::networkSpread, 0, 10)},
        {QStringLiteral("network.noise_floor"), integer(&Scenario::noiseFloor, 0, 63)},
        {QStringLiteral("fault.silent_from"), faultInt(&Faults::silentFromLine, 0, 1000000)},
        {QStringLiteral("fault.silent_prefix"), faultText(&Faults::silentPrefix)},
        {QStringLiteral("fault.garbage_queries"), attempts(&Faults::garbageQueries)},
        {QStringLiteral("fault.garbage_prefix"), faultText(&Faults::garbagePrefix)},
        {QStringLiteral("fault.garbage_text"), faultText(&Faults::garbageText)},
        {QStringLiteral("fault.split_pieces"), faultInt(&Faults::splitPieces, 1, 100)},
        {QStringLiteral("fault.split_pause_ms"), faultInt(&Faults::splitPauseMs, 0, 60000)},
        {QStringLiteral("fault.echo"),
         [](Scenario& s, const QString& v, QString* e) { return parseBool(v, s.faults.echoOnly, e); }},
        {QStringLiteral("fault.unended_queries"), attempts(&Faults::unendedQueries)},
        {QStringLiteral("fault.unended_prefix"), faultText(&Faults::unendedPrefix)},
        {QStringLiteral("fault.flood_queries"), attempts(&Faults::floodQueries)},
        {QStringLiteral("fault.flood_prefix"), faultText(&Faults::floodPrefix)},
        {QStringLiteral("fault.flood_bytes"), faultInt(&Faults::floodBytes, 1, 64 * 1024 * 1024)},
        {QStringLiteral("fault.vanish_at"), lineSelector(&Faults::vanishAt)},
        {QStringLiteral("fault.vanish_mid_answer"),
         [](Scenario& s, const QString& v, QString* e) { return parseBool(v, s.faults.vanishMidAnswer, e); }},
        {QStringLiteral("fault.restart_at"), lineSelector(&Faults::restartAt)},
        {QStringLiteral("fault.tx_power_attempts"), attempts(&Faults::txPower)},
        {QStringLiteral("fault.tx_power_offset"), faultDouble(&Faults::txPowerOffsetDb)},
        {QStringLiteral("fault.phase_attempts"), attempts(&Faults::phase)},
        {QStringLiteral("fault.phase_peak"), faultDouble(&Faults::phasePeakDeg)},
        {QStringLiteral("fault.phase_rms"), faultDouble(&Faults::phaseRmsDeg)},
        {QStringLiteral("fault.freq_attempts"), attempts(&Faults::frequency)},
        {QStringLiteral("fault.freq_error"), faultDouble(&Faults::frequencyErrorHz)},
        {QStringLiteral("fault.burst_attempts"), attempts(&Faults::burst)},
        {QStringLiteral("fault.burst_length"), faultDouble(&Faults::burstLengthUs)},
        {QStringLiteral("fault.template_attempts"), attempts(&Faults::powerTemplate)},
        {QStringLiteral("fault.rxlev_attempts"), attempts(&Faults::rxLevel)},
        {QStringLiteral("fault.rxlev_offset"), faultInt(&Faults::rxLevelOffset, -63, 63)},
        {QStringLiteral("fault.rxqual_attempts"), attempts(&Faults::rxQuality)},
        {QStringLiteral("fault.rxqual_value"), faultInt(&Faults::rxQualityValue, 0, 7)},
    };
    return table;
}

}  // namespace

bool AttemptSet::parse(const QString& text, AttemptSet& out, QString* error)
{
    const QString t = text.trimmed().toLower();
    AttemptSet result;
    if (t == u"all") {
        result.all = true;
    } else if (!t.isEmpty() && t != u"none") {
        for (const QString& part : t.split(u',')) {
            int n = 0;
            if (!parseInt(part, 1, 1000000, n, error))
                return false;
            result.numbers.insert(n);
        }
    }
    out = result;
    return true;
}

bool LineSelector::matches(int lineNumber, const QString& text) const
{
    if (line > 0)
        return lineNumber == line;
    return !prefix.isEmpty() && text.trimmed().startsWith(prefix, Qt::CaseInsensitive);
}

bool LineSelector::parse(const QString& text, LineSelector& out, QString* error)
{
    const QString t = text.trimmed();
    LineSelector result;
    if (!t.isEmpty() && t.front().isDigit()) {
        // Commands never start with a digit: a number is a line number.
        if (!parseInt(t, 1, 1000000, result.line, error))
            return false;
    } else {
        result.prefix = t;
    }
    out = result;
    return true;
}

QString Scenario::identityAnswer() const
{
    if (!identity.isEmpty())
        return identity;
    return maker + u',' + model + u',' + serialField + u',' + firmware;
}

bool Scenario::set(const QString& key, const QString& value, QString* error)
{
    const auto it = setters().find(key.trimmed().toLower());
    if (it == setters().end())
        return fail(error, QStringLiteral("unknown key '%1'").arg(key.trimmed()));
    QString why;
    Scenario copy = *this;
    if (!it->second(copy, value, &why))
        return fail(error, QStringLiteral("%1: %2").arg(it->first, why));
    if (copy.latencyMinMs > copy.latencyMaxMs) {
        // Keep the range usable whichever of the two keys comes first.
        if (it->first.endsWith(u"min_ms"))
            copy.latencyMaxMs = copy.latencyMinMs;
        else
            copy.latencyMinMs = copy.latencyMaxMs;
    }
    *this = copy;
    return true;
}

QStringList Scenario::keys()
{
    QStringList all;
    for (const auto& [key, setter] : setters())
        all << key;
    return all;
}

Scenario Scenario::fromText(const QString& text, QString* error)
{
    Scenario s;
    if (error)
        error->clear();
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        // Whole-line comments, and trailing comments set off by blanks
        // ("key = value  # why"), so that "phone.digits = *#06#" keeps its '#'.
        static const QRegularExpression trailing(QStringLiteral("\\s+#(\\s.*)?$"));
        if (line.trimmed().startsWith(u'#'))
            line.clear();
        line.remove(trailing);
        if (line.trimmed().isEmpty())
            continue;
        const int eq = line.indexOf(u'=');
        QString why;
        if (eq < 0)
            why = QStringLiteral("expected 'key = value'");
        else
            s.set(line.left(eq), line.mid(eq + 1), &why);
        if (!why.isEmpty()) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
            return s;
        }
    }
    return s;
}

bool Scenario::loadFile(const QString& path, Scenario& out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
    QString why;
    Scenario s = fromText(QString::fromUtf8(file.readAll()), &why);
    if (!why.isEmpty())
        return fail(error, QStringLiteral("%1: %2").arg(path, why));
    out = s;
    return true;
}

}  // namespace sim
