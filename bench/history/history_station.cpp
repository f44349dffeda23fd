#include "history_station.h"

#include "bench_station.h"
#include "core/app.h"
#include "core/text.h"
#include "shell/qt/qt_platform.h"
#include "results/result_file.h"
#include "results/result_grid.h"
#include "results/verdict.h"
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

// The station's writer with the result pages set up once per language.
struct Writer {
    explicit Writer(int language) : platform(QString()), app(platform, QDir::tempPath())
    {
        StationState& st = app.st;
        bench::SetUpBenchStation(st, language);
        SetUpResultPages(app);
        ShowExpectedRxLevel(app, 50);
        for (ResultPage* page : {&app.Form3, &app.Form4}) {
            page->TesterModel.Caption = QStringLiteral("7703S");
            page->TesterSerial.Caption = QStringLiteral("100123");
            page->Firmware.Caption = QStringLiteral("V3.10");
        }
    }
    QtPlatform platform;
    App app;
};

void Fill(ResultPage& page, QRandomGenerator& random)
{
    auto value = [&](double base, double spread) {
        return QLatin1Char(' ') + QString::number(base + spread * (random.generateDouble() - 0.5), 'f', 1);
    };
    for (int c = 1; c <= 3; ++c) {
        page.MSPower1[c] = Cell{value(33, 1.5), kGreen};
        page.MSPower3[c] = Cell{value(13, 1.5), kGreen};
        page.Label51[c] = Cell{value(2, 2), kGreen};
        page.Label52[c] = Cell{value(8, 6), kGreen};
        page.Label53[c] = Cell{QLatin1Char(' ') + QString::number(random.bounded(-60, 60)), kGreen};
        page.Label54[c] = Cell{QStringLiteral(" 553"), kGreen};
        page.Label55[c] = Cell{QStringLiteral(" Passed"), kGreen};
        page.Label56[c] = Cell{QLatin1Char(' ') + QString::number(random.bounded(48, 53)), kGreen};
        page.Label57[c] = Cell{QLatin1Char(' ') + QString::number(random.bounded(0, 2)), kGreen};
    }
    for (Cell* cell : {&page.MobileOriginatedCall, &page.DialledNumber, &page.BaseOriginatedCall, &page.SpeechLoopback})
        *cell = Cell{QStringLiteral("Passed"), kGreen};
    page.DialledNumber = Cell{QStringLiteral("0123"), kGreen};
}

}  // namespace

GeneratedStation GenerateHistoryStation(const QString& stationDir, int count, const QDate& today)
{
    GeneratedStation out;
    QRandomGenerator random(20261207u + quint32(count));
    std::unique_ptr<Writer> writers[2] = {std::make_unique<Writer>(1), std::make_unique<Writer>(2)};

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

        Writer& w = *writers[random.bounded(100) < 25 ? 1 : 0];
        StationState& st = w.app.st;
        const int system = random.bounded(100);
        st.SystemCode = system < 70 ? QStringLiteral("GSM") : system < 80 ? QStringLiteral("PCN") : QStringLiteral("GSM,PCN");
        // As the program writes it under the machine's regional settings.
        st.CycleDate = DateText(day, QLocale::system());
        st.CycleTime = time.toString(QStringLiteral("hh:mm:ss"));
        st.FaultDescription = random.bounded(100) < 40 ? QString::fromLatin1(kFaults[random.bounded(6)]) : QString();
        for (ResultPage* page : {&w.app.Form3, &w.app.Form4}) {
            Fill(*page, random);
            page->Mobile.Caption = model.name;
            page->Imei.Caption = imei;
            page->Imsi.Caption = QStringLiteral("00101") + imei.right(10);
        }
        const int roll = random.bounded(100);
        st.Verdict = Verdict::Passed;
        if (roll < 3) {
            st.Verdict = Verdict::Aborted;  // the call from the base station timed out; nothing after it
            w.app.Form3.BaseOriginatedCall = Cell{QStringLiteral("* Failed"), kRed};
            w.app.Form3.SpeechLoopback = Cell{QStringLiteral("Not tested"), kYellow};
        } else if (roll < 3 + model.failPercent) {
            st.Verdict = Verdict::Failed;
            const int which = random.bounded(4);
            if (which == 0)
                w.app.Form3.MSPower3[3] = Cell{QStringLiteral("* 16.2"), kRed};
            else if (which == 1)
                w.app.Form3.Label56[1] = Cell{QStringLiteral("* 41"), kRed};
            else if (which == 2)
                w.app.Form3.Label53[3] = Cell{QStringLiteral("* -140"), kRed};
            else
                w.app.Form3.DialledNumber = Cell{QStringLiteral("* 0124"), kRed};
        } else if (random.bounded(100) < 5) {
            w.app.Form3.MSPower1[2] = Cell{QStringLiteral("! 34.9"), kGreen};
        }

        const QString folder = results + QLatin1Char('/') + imei.left(6);
        const int seen = testsOfPhone[imei]++;
        if (seen == 0)
            QDir().mkpath(folder);
        const QString name = imei.right(7) + (seen == 0 ? QString() : QString(QChar(QLatin1Char('A' + std::min(seen - 1, 26)))) ) + QStringLiteral(".TXT");
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(ResultFileBytes(w.app));
            file.close();
            file.open(QIODevice::ReadWrite);
            file.setFileTime(QDateTime(day, time), QFileDevice::FileModificationTime);
            ++out.ResultFiles;
        }

        const QString date = RecordDate(day);
        if (st.Verdict == Verdict::Passed) {
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
