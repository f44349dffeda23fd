#include "history_station.h"

#include "bench_station.h"
#include "core/text.h"
#include "record/result_file_format.h"
#include "swap/swap_records.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QMap>
#include <QRandomGenerator>
#include <cmath>
#include <memory>

namespace celvio {

namespace {

const char* const kBrands[] = {"Orvane", "Kestrel", "Talvik", "Meridio", "Norrsk", "Pellan"};
const char* const kFaults[] = {"Display flickers when the phone rings",
                               "No ring tone",
                               "Battery empty after two hours",
                               "Customer hears an echo in every call",
                               "Drops calls in the car, fine at home",
                               "Keypad: the 5 does not answer every time"};

struct Model {
    QString name;
    QString tac;
    int failPercent;
};

// The record of a cycle of the bench station before its tests, per language and
// system: row names and limits from the settings, the RX level expected at 50.
CycleRecord Template(int language, const QString& system)
{
    StationState st;
    bench::SetUpBenchStation(st, language);
    st.SystemCode = system;
    CycleRecord r;
    r.ExpectedRxLevel = 50;
    ResetReadings(r);
    TakeStationFacts(r, st);
    return r;
}

void Fill(CycleRecord& r, int band, QRandomGenerator& random)
{
    auto value = [&](double base, double spread) {
        return QString::number(base + spread * (random.generateDouble() - 0.5), 'f', 1);
    };
    auto put = [&](RowId row, int column, const QString& text) {
        StoreReading(r, band, row, column, text, ReadingOutcome::Passed);
    };
    for (int c = 1; c <= 3; ++c) {
        put(RowId::TxPower1, c, value(33, 1.5));
        put(RowId::TxPower3, c, value(13, 1.5));
        put(RowId::PhaseRms, c, value(2, 2));
        put(RowId::PhasePeak, c, value(8, 6));
        put(RowId::Frequency, c, QString::number(random.bounded(-60, 60)));
        put(RowId::BurstLength, c, QStringLiteral("553"));
        put(RowId::Template, c, QStringLiteral("Passed"));
        put(RowId::RxLevel, c, QString::number(random.bounded(48, 53)));
        put(RowId::RxQuality, c, QString::number(random.bounded(0, 2)));
    }
    for (RowId row : {RowId::MobileCall, RowId::BaseCall, RowId::SpeechLoopback})
        put(row, 1, QStringLiteral("Passed"));
    put(RowId::DialledNumber, 1, QStringLiteral("0123"));
}

}  // namespace

GeneratedStation GenerateHistoryStation(const QString& stationDir, int count, const QDate& today)
{
    GeneratedStation out;
    QRandomGenerator random(20261207u + quint32(count));
    const QString systems[] = {QStringLiteral("GSM"), QStringLiteral("PCN"), QStringLiteral("GSM,PCN")};
    QList<CycleRecord> templates;  // by language (English, German) and system
    for (int language = 1; language <= 2; ++language)
        for (const QString& system : systems)
            templates.append(Template(language, system));

    QList<Model> models;
    for (int i = 0; i < 60; ++i) {
        const QString brand = QString::fromLatin1(kBrands[i % 6]);
        models.append(Model{brand + QLatin1Char(' ') + QChar(QLatin1Char('A' + (i / 6) % 26)) + QString::number(10 + i),
                            QString::number(350100 + i * 977), 4 + (i * 7) % 25});
    }

    const QDate first = today.addDays(-3 * 365);
    const qint64 days = first.daysTo(today) + 1;
    QHash<QString, int> testsOfPhone;
    // Record lines of each day: IMEI file and swap file.
    QMap<QDate, QStringList> imeiLines, swapLines;
    const QString results = stationDir + QStringLiteral("/RESULTS");

    for (int n = 0; n < count; ++n) {
        const QDate day = first.addDays(qint64(n) * days / count);
        const QTime time(8 + random.bounded(11), random.bounded(60), random.bounded(60));
        // A phone of a popular model more often than one of a rare one.
        const Model& model = models[int(models.size() * std::pow(random.generateDouble(), 1.6))];
        QString imei;
        if (n > 10 && random.bounded(100) < 8 && !out.SomeImeis.isEmpty())
            imei = out.SomeImeis[random.bounded(int(out.SomeImeis.size()))];  // a retest
        else
            imei = model.tac + QStringLiteral("%1").arg(random.bounded(1000000000), 9, 10, QLatin1Char('0'));
        if (out.SomeImeis.size() < 5000)
            out.SomeImeis.append(imei);

        const int language = random.bounded(100) < 25 ? 1 : 0;
        const int roll = random.bounded(100);
        const int system = roll < 70 ? 0 : roll < 80 ? 1 : 2;
        CycleRecord r = templates[language * 3 + system];
        // As the program writes it under the machine's regional settings.
        r.DateText = DateText(day, QLocale::system());
        r.TimeText = time.toString(QStringLiteral("hh:mm:ss"));
        r.FaultDescription = random.bounded(100) < 40 ? QString::fromLatin1(kFaults[random.bounded(6)]) : QString();
        for (int band = 1; band <= 2; ++band)
            Fill(r, band, random);
        r.Model = model.name;
        r.Imei = imei;
        r.Imsi = QStringLiteral("00101") + imei.right(10);
        r.PhoneIdentified = true;
        const int outcome = random.bounded(100);
        r.Verdict = TestVerdict::Passed;
        if (outcome < 3) {
            r.Verdict = TestVerdict::Aborted;  // the call from the base station timed out; nothing after it
            StoreReading(r, 1, RowId::BaseCall, 1, QStringLiteral("Failed"), ReadingOutcome::Failed);
            StoreReading(r, 1, RowId::SpeechLoopback, 1, kNotTestedText, ReadingOutcome::NotTested, 0);
        } else if (outcome < 3 + model.failPercent) {
            r.Verdict = TestVerdict::Failed;
            const int which = random.bounded(4);
            if (which == 0)
                StoreReading(r, 1, RowId::TxPower3, 3, QStringLiteral("16.2"), ReadingOutcome::Failed);
            else if (which == 1)
                StoreReading(r, 1, RowId::RxLevel, 1, QStringLiteral("41"), ReadingOutcome::Failed);
            else if (which == 2)
                StoreReading(r, 1, RowId::Frequency, 3, QStringLiteral("-140"), ReadingOutcome::Failed);
            else
                StoreReading(r, 1, RowId::DialledNumber, 1, QStringLiteral("0124"), ReadingOutcome::Failed);
        } else if (random.bounded(100) < 5) {
            StoreReading(r, 1, RowId::TxPower1, 2, QStringLiteral("34.9"), ReadingOutcome::PassedOnRepeat);
        }

        const QString folder = results + QLatin1Char('/') + imei.left(6);
        const int seen = testsOfPhone[imei]++;
        if (seen == 0)
            QDir().mkpath(folder);
        const QString name = imei.right(7) + (seen == 0 ? QString() : QString(QChar(QLatin1Char('A' + std::min(seen - 1, 26)))) ) + QStringLiteral(".TXT");
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(ResultFileBytes(r));
            file.close();
            file.open(QIODevice::ReadWrite);
            file.setFileTime(QDateTime(day, time), QFileDevice::FileModificationTime);
            ++out.ResultFiles;
        }

        const QString date = RecordDate(day);
        if (r.Verdict == TestVerdict::Passed) {
            imeiLines[day] << QStringLiteral("IMEI\t%1\t\t\t%2\tPASS").arg(imei, date);
        } else if (random.bounded(100) < 30) {
            const QString newImei = model.tac + QStringLiteral("%1").arg(random.bounded(1000000000), 9, 10, QLatin1Char('0'));
            swapLines[day] << QStringLiteral("SWAP\t%1\t%2\t*\t%3").arg(imei, newImei, date);
            imeiLines[day] << QStringLiteral("IMEI\t%1\t%2\t*\t%3\tSWAP").arg(imei, newImei, date);
        } else {
            imeiLines[day] << QStringLiteral("IMEI\t%1\t\t\t%2\tFAIL").arg(imei, date);
        }
    }

    // The records of each day: today's in the live files, earlier days archived.
    const QString log = results + QStringLiteral("/LOG");
    auto write = [&](const QMap<QDate, QStringList>& byDay, bool swapFile) {
        for (auto it = byDay.cbegin(); it != byDay.cend(); ++it) {
            const QDate day = it.key();
            const QString dir = day == today ? log : log + QStringLiteral("/BACKUP") + day.toString(QStringLiteral("yy"));
            const QString base = day == today ? QStringLiteral("AB123ACT") : ArchiveName(QStringLiteral("AB123"), day);
            QDir().mkpath(dir);
            QStringList lines{(swapFile ? QStringLiteral("IWRSWAP") : QStringLiteral("IWRIMEI")) +
                                  QStringLiteral("\tV1.0\tAB123\t") + RecordDate(day),
                              QStringLiteral("# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg")};
            lines << it.value();
            QFile file(dir + QLatin1Char('/') + base + (swapFile ? QStringLiteral(".IWR") : QStringLiteral(".IME")));
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                file.write(RecordFileBytes(lines, int(it.value().size())));
                ++out.RecordFiles;
            }
        }
    };
    write(imeiLines, false);
    write(swapLines, true);
    return out;
}

}  // namespace celvio
