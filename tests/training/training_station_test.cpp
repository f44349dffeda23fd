// The training station laid out from the real station: which files are taken, what
// training wrote before stays, no head office, the trace on, and the real station only
// read.
#include "training/training_station.h"
#include "training_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

void Put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    file.write(bytes);
}

TEST(TrainingInputs, SettingsDataAndPicturesOnly)
{
    const struct {
        const char* name;
        bool taken;
    } cases[] = {
        {"CELVIO.INI", true},     {"celvio.ini", true},     {"CPLCONN.INI", true},   {"TAC6N.DAT", true},
        {"swap.dat", true},       {"BADCHAN.DAT", true},    {"Coupler.BMP", true},   {"NK5801.bmp", true},
        {"DEBUGSC.INI", true},    {"HEADOFFICE.INI", false}, {"headoffice.ini", false}, {"PORTS.INI", false},
        {"DEBUG.LOG", false},     {"scan.log", false},      {"HISTORY.DB", false},   {"CELVIO.LCK", false},
        {"BADCHAN.DAT.Ab3dE1", false}, {"celvio-20261207.pdf", false}, {"INI", false}, {"notes.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsTrainingInput(QString::fromLatin1(c.name)), c.taken) << c.name;
}

TEST(TrainingStationDirectory, InsideTheStationUnlessTheEnvironmentNamesOne)
{
    EXPECT_EQ(TrainingStationDirectory(QStringLiteral("/srv/shop"), QString()), QStringLiteral("/srv/shop/TRAINING"));
    EXPECT_EQ(TrainingStationDirectory(QStringLiteral("/srv/shop"), QStringLiteral("/tmp/practice")),
              QStringLiteral("/tmp/practice"));
}

// A second start: the inputs are taken again from the real station (under the name the
// training station already has), what training wrote stays, a head office file and the
// ports file never arrive, and the real station is left as it was, byte for byte.
TEST(PrepareTrainingStation, RefreshesInputsAndKeepsWhatTrainingWrote)
{
    QTemporaryDir real, outside;
    Put(real.filePath(QStringLiteral("CELVIO.INI")), "LANGUAGE    DEUTSCH\r\n");
    Put(real.filePath(QStringLiteral("BADCHAN.DAT")), "\" 5,\"\r\n");
    Put(real.filePath(QStringLiteral("HEADOFFICE.INI")), "HOST=db.chain.example\r\n");
    Put(real.filePath(QStringLiteral("PORTS.INI")), "COM1=/dev/ttyUSB0\r\n");
    Put(real.filePath(QStringLiteral("DEBUG.LOG")), "real trace\r\n");
    Put(real.filePath(QStringLiteral("RESULTS/351234/0123457.TXT")), "a real result\r\n");
    Put(outside.filePath(QStringLiteral("secret.ini")), "not the station's\r\n");
    ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("secret.ini")), real.filePath(QStringLiteral("LINK.INI"))));
    const QString training = real.filePath(QStringLiteral("TRAINING"));
    Put(training + QStringLiteral("/celvio.ini"), "LANGUAGE    ENGLISH\r\n");
    Put(training + QStringLiteral("/BADCHAN.DAT"), "\" 5, 7,\"\r\n");
    Put(training + QStringLiteral("/scan.log"), "training scan\r\n");
    Put(training + QStringLiteral("/RESULTS/351234/0123457.TXT"), "a training result\r\n");
    Put(training + QStringLiteral("/HEADOFFICE.INI"), "HOST=db.chain.example\r\n");
    const QMap<QString, QByteArray> before = TreeBytes(real.path());

    QString problem;
    ASSERT_TRUE(PrepareTrainingStation(real.path(), training, problem)) << qPrintable(problem);

    const QMap<QString, QByteArray> after = TreeBytes(real.path());
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!it.key().startsWith(QLatin1String("TRAINING/"))) {
            EXPECT_EQ(after.value(it.key()), it.value()) << qPrintable(it.key());
        }
    }
    const QMap<QString, QByteArray> trained = TreeBytes(training);
    const QMap<QString, QByteArray> expected{
        {QStringLiteral("celvio.ini"), "LANGUAGE    DEUTSCH\r\n"},
        {QStringLiteral("BADCHAN.DAT"), "\" 5,\"\r\n"},
        {QStringLiteral("DEBUGPM.INI"), ""},
        {QStringLiteral("scan.log"), "training scan\r\n"},
        {QStringLiteral("RESULTS/351234/0123457.TXT"), "a training result\r\n"},
    };
    EXPECT_EQ(trained, expected);
}

TEST(PrepareTrainingStation, RefusesTheStationItselfAndAMissingStation)
{
    QTemporaryDir real;
    Put(real.filePath(QStringLiteral("CELVIO.INI")), "LANGUAGE    ENGLISH\r\n");
    QString problem;
    EXPECT_FALSE(PrepareTrainingStation(real.path(), real.path() + QStringLiteral("/."), problem));
    EXPECT_TRUE(problem.contains(QLatin1String("cannot be the station itself"))) << qPrintable(problem);
    EXPECT_FALSE(PrepareTrainingStation(real.filePath(QStringLiteral("gone")), real.filePath(QStringLiteral("T")), problem));
    EXPECT_TRUE(problem.contains(QLatin1String("does not exist"))) << qPrintable(problem);
    EXPECT_FALSE(QFileInfo::exists(real.filePath(QStringLiteral("T"))));
}

}  // namespace
}  // namespace celvio::testing
