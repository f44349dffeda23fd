#include "training_fixture.h"

#include "core/files.h"
#include "core/training_mark.h"
#include "cycle/window_actions.h"
#include "sim/tester.h"
#include "training/training_station.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace celvio::testing {

namespace {

const QString kScenarios = QStringLiteral(CELVIO_SOURCE_DIR "/data/scenarios/training");

}  // namespace

QMap<QString, QByteArray> TreeBytes(const QString& folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        QByteArray bytes;
        ReadFileBytes(path, bytes);
        tree.insert(base.relativeFilePath(path), bytes);
    }
    return tree;
}

TrainingFixture::TrainingFixture() = default;
TrainingFixture::~TrainingFixture() = default;

void TrainingFixture::Boot(const QString& settings)
{
    const QDir sample(QStringLiteral(CELVIO_SOURCE_DIR "/data/station"));
    for (const QString& name : sample.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(sample.filePath(name), real.filePath(name))) << qPrintable(name);
    if (!settings.isEmpty()) {
        QFile ini(real.filePath(QStringLiteral("CELVIO.INI")));
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write(QString(settings).replace(QLatin1String("\n"), QLatin1String("\r\n")).toLatin1());
    }
    StartProgram();
}

void TrainingFixture::StartProgram()
{
    QString problem;
    ASSERT_TRUE(PrepareTrainingStation(real.path(), TrainingFile(QString()), problem)) << qPrintable(problem);

    sim::Scenario first;
    QString error;
    ASSERT_TRUE(sim::Scenario::loadFile(kScenarios + QStringLiteral("/good-phone.scn"), first, &error));
    tester = std::make_shared<sim::Tester>(first, platform.Clock());
    platform.serial.devices[1] = std::make_shared<SimDevice>(tester);
    session = std::make_unique<TrainingSession>(kScenarios, [this](const QString& file) {
        sim::Scenario next;
        QString why;
        if (!sim::Scenario::loadFile(file, next, &why))
            return why;
        tester->changePhone(next);
        ++phoneChanges;
        return QString();
    });
    training = std::make_unique<TrainingPlatform>(platform, *session, QString::fromLatin1(kTrainingMark));
    app = std::make_unique<App>(*training, TrainingFile(QString()));
    training->Bind(*app);
    platform.Bind(*app);
    InstallProgramFlow(*app);
    session->Attach(*app);
}

QString TrainingFixture::TrainingFile(const QString& name) const
{
    return name.isEmpty() ? real.filePath(QStringLiteral("TRAINING"))
                          : real.filePath(QStringLiteral("TRAINING/") + name);
}

QByteArray TrainingFixture::TrainingBytes(const QString& name) const
{
    QByteArray bytes;
    ReadFileBytes(TrainingFile(name), bytes);
    return bytes;
}

bool TrainingFixture::Run()
{
    try {
        EXPECT_EQ(RunMain(*app), -1);
    } catch (const ScriptStuck& stuck) {
        const QStringList& trace = app->DebugFrm.DebugFeld;
        ADD_FAILURE() << qPrintable(stuck.what) << "\n" << qPrintable(trace.mid(trace.size() - 20).join(u'\n'));
        return false;
    }
    EXPECT_EQ(platform.StepsLeft(), 0);
    return true;
}

void TrainingFixture::Verdict()
{
    platform.Await(
        [this](const App& a) {
            if (!a.Form1.Command3.Visible || a.Form1.Command3.Caption != QLatin1String("&New test"))
                return false;
            verdicts << a.Form1.Label4.Caption;
            return true;
        },
        QStringLiteral("the verdict"));
    platform.Press(QStringLiteral("&New test"));
}

void TrainingFixture::Position()
{
    platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("User Instruction"); },
                   QStringLiteral("the positioning instruction"));
    platform.Press(QStringLiteral("&Done"));
}

void TrainingFixture::TestCycle(const char* system, bool echo)
{
    platform.Press(QStringLiteral("&Test"));
    platform.Press(QString::fromLatin1(system));
    Position();
    if (echo) {
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
    }
}

void TrainingFixture::ServicePoint()
{
    QFile file(real.filePath(QStringLiteral("swap.dat")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0,\"AB123\",\"Handy Shop\",\"Markt 1\",\"040 1\",\"Bo\"\r\n");
}

void TrainingFixture::Swap(const char* oldImei)
{
    platform.Press(QStringLiteral("S&wap"));
    platform.Await([](const App& a) { return a.Form1.Text6.Visible; }, QStringLiteral("the customer screen"));
    platform.Type(1, QStringLiteral("*"));
    platform.Type(6, QStringLiteral("Display broken"));
    platform.Press(QStringLiteral("&OK"));
    platform.Press(QStringLiteral("GSM 900"));
    platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("IMEI Number")); },
                   QStringLiteral("the IMEI entry"));
    platform.Type(1, QString::fromLatin1(oldImei));
    platform.Press(QStringLiteral("&OK"));
    platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Select mode"); },
                   QStringLiteral("the mode dialog of the next cycle"));
}

}  // namespace celvio::testing
