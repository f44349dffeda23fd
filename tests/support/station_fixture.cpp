#include "support/station_fixture.h"

#include "cycle/window_actions.h"
#include "sim/tester.h"

#include <QFile>

namespace celvio::testing {

QString Channels(int from, int to, int step)
{
    QString text;
    for (int c = from; c <= to; c += step)
        text += QStringLiteral(" %1,").arg(c);
    return text;
}

StationFixture::StationFixture() : app(platform, dir.path())
{
    platform.Bind(app);
    InstallProgramFlow(app);
}

QString StationFixture::StationFile(const QString& name) const
{
    return dir.filePath(name);
}

void StationFixture::WriteStationBytes(const QString& name, const QByteArray& bytes)
{
    QFile file(StationFile(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(name);
    file.write(bytes);
}

void StationFixture::WriteStationFile(const QString& name, const QString& text)
{
    QString crlf = text;
    crlf.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    WriteStationBytes(name, crlf.toLatin1());
}

QByteArray StationFixture::ReadStationBytes(const QString& name) const
{
    QFile file(StationFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

std::shared_ptr<sim::Tester> StationFixture::AttachSimulator(int port, const QString& scenarioText)
{
    QString error;
    sim::Scenario scenario = sim::Scenario::fromText(scenarioText, &error);
    EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
    auto tester = std::make_shared<sim::Tester>(scenario, platform.Clock());
    platform.serial.devices[port] = std::make_shared<SimDevice>(tester);
    return tester;
}

std::shared_ptr<ScriptedDevice> StationFixture::AttachScriptedDevice(int port)
{
    auto device = std::make_shared<ScriptedDevice>(platform.Clock());
    platform.serial.devices[port] = device;
    return device;
}

void StationFixture::ServicePointAB123()
{
    platform.SetDateTime(QDateTime(QDate(2026, 12, 6), QTime(9, 30, 0)));
    StationState& st = app.st;
    st.SwapFile = 1;
    st.ServicePointId = QStringLiteral("AB123");
    st.Company = QStringLiteral("Handy Shop Nord");
    st.Address = QStringLiteral("Hauptstr. 5 Kiel");
    st.Phone = QStringLiteral("0431 998877");
    st.TestedBy = QStringLiteral("M. Berg");
    st.CycleDay = QDate(2026, 12, 6);
}

void StationFixture::WriteMinimalStation(const QString& settings)
{
    WriteStationFile(QStringLiteral("CELVIO.INI"), settings);
    WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-9,STD\n"));
    WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n"));
    WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 30,\"\n"));
    WriteStationBytes(QStringLiteral("DEBUGPM.INI"), QByteArray());
    WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
}

QString StationFixture::Box(const QString& title, const QString& text, int style)
{
    return title + QStringLiteral(" | ") + text + QStringLiteral(" | ") + QString::number(style);
}

QStringList StationFixture::Boxes() const
{
    QStringList boxes;
    for (const BoxRecord& box : platform.boxes)
        boxes << Box(box.title, box.text, box.style);
    return boxes;
}

void StationFixture::ExpectNoBoxes() const
{
    for (const QString& box : Boxes())
        ADD_FAILURE() << "message box: " << qPrintable(box);
}

std::function<bool(const App&)> StationFixture::BarAt(int value, Colour colour)
{
    return [value, colour](const App& a) { return a.Form1.Progress.Value == value && a.Form1.Progress.Color == colour; };
}

void StationFixture::OpenPort(int port)
{
    platform.serial.SetCommPort(port);
    platform.serial.SetSettings(QStringLiteral("19200,N,8,1"));
    platform.serial.SetHandshaking(true);
    ASSERT_EQ(platform.serial.Open(), 0);
}

}  // namespace celvio::testing
