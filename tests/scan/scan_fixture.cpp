#include "scan_fixture.h"

#include "cycle/main.h"

#include <QFile>
#include <algorithm>
#include <QRegularExpression>

namespace celvio::testing {

namespace {

const char* const kSettings =
    "LANGUAGE    ENGLISH\nDIALNO      0123\nSEARCHCOM   0\n"
    "TESTDETAIL  1\nTOSEARCH    60\nTOBSCALL    30\nTOMSCALL    60\nLOCBSPLEV   -60\n"
    "GSMBCCH     30\nGSMTCH1     20\nGSMTCH2     62\nGSMTCH3     100\nGSMBSPLEV   -60\n"
    "PCNBCCH     700\nPCNTCH1     512\nPCNTCH2     698\nPCNTCH3     884\nPCNBSPLEV   -60\n"
    "PCSBCCH     661\nPCSTCH1     513\nPCSTCH2     601\nPCSTCH3     809\nPCSBSPLEV   -60\n"
    "MSPOWLEV1   5\nMSPOWLEV2   10\nMSPOWLEV3   15\nMSPOWLEV4   0\nMSPOWLEV5   5\nMSPOWLEV6   10\n"
    "SCANATT     10\nSCANSENS    30\nSCANTEST    1\n";

}  // namespace

void ScanTest::WriteStation(const QString& changes)
{
    QStringList lines = QString::fromLatin1(kSettings).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& change : changes.split(u'\n', Qt::SkipEmptyParts)) {
        auto same = std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.left(10) == change.left(10); });
        if (same != lines.end())
            *same = change;
        else
            lines << change;
    }
    WriteStationFile(QStringLiteral("CELVIO.INI"), lines.join(u'\n') + u'\n');
    WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
    WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800\n"));
    WriteStationBytes(QStringLiteral("DEBUGPM.INI"), QByteArray());
}

void ScanTest::Start(const QString& scenario)
{
    tester = AttachSimulator(1, QStringLiteral("phone.bands = GSM,PCN\nphone.registration = 3\nphone.dial = 2\n"
                                               "phone.digits = 123\nnetwork.spread = 0\nnetwork.noise_floor = 0\n") +
                                    scenario);
    platform.Press(QStringLiteral("COM&1"));
}

void ScanTest::Scan(const char* band, const char* mode, const char* list)
{
    platform.Press(QStringLiteral("&Scan"));
    platform.Press(QString::fromLatin1(mode));
    platform.Press(QString::fromLatin1(list));
    platform.Press(QString::fromLatin1(band));
}

void ScanTest::Observe(const App& a)
{
    const Form1& f = a.Form1;
    if (a.st.ScanWritesList != kTrue)
        return;
    labels.insert(f.Label3.Caption);
    statuses.insert(f.Label4.Caption);
    if (f.Progress.Visible) {
        highestProgress = std::max(highestProgress, f.Progress.Value);
        progressMax = f.Progress.Max;
    }
}

void ScanTest::Done()
{
    platform.Await(
        [this](const App& a) {
            const Form1& f = a.Form1;
            Observe(a);
            if (!f.Command2.Visible || f.Command2.Caption != QLatin1String("&Done"))
                return false;
            done = AtDone{true,
                          f.Label4.Caption,
                          f.Label3.Caption,
                          f.Label5.Caption,
                          a.ScanFrm.Visible,
                          a.ScanFrm.Left,
                          a.ScanFrm.Top,
                          a.ScanFrm.List1,
                          int(a.st.HelpTopic),
                          f.Progress.Visible,
                          f.MStop.Enabled,
                          a.st.ScanWritesList};
            dones << done;
            return true;
        },
        QStringLiteral("the end of the scan"));
    platform.Press(QStringLiteral("&Done"));
}

void ScanTest::StopAt(const QString& label)
{
    platform.Answer(QStringLiteral("Do you really want to restart the test?"), msgbox::kYes);
    platform.Do(UiAction::Stop, [this, label](const App& a) {
        Observe(a);
        return a.Form1.Label3.Caption.contains(label);
    });
}

void ScanTest::Run()
{
    try {
        EXPECT_EQ(RunMain(app), -1);
    } catch (const ScriptStuck& stuck) {
        FAIL() << "stuck: " << stuck.what.toStdString() << "\nboxes: " << Boxes().join(u'\n').toStdString()
               << "\ntrace: " << Trace().mid(Trace().size() - 30).join(u'\n').toStdString()
               << "\nreceived: " << (tester ? tester->receivedLines().mid(0, 20).join(u'|').toStdString() : "");
    }
    ASSERT_TRUE(done.seen);
    // After "&Done" the cycle is over: the results window is gone, STOP is cleared.
    EXPECT_FALSE(app.ScanFrm.Visible);
    EXPECT_EQ(app.st.StopRequested, kFalse);
}

QStringList ScanTest::ScanLogLines() const
{
    const QByteArray bytes = ReadStationBytes(QStringLiteral("scan.log"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

void ScanTest::ExpectLines(const QStringList& actual, const QStringList& expected) const
{
    const QString date = scanDate;
    ASSERT_EQ(actual.size(), expected.size()) << actual.join(u'\n').toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QString pattern = QRegularExpression::escape(expected[i]);
        pattern.replace(QStringLiteral("<D14>"), QRegularExpression::escape(date.leftJustified(14)))
            .replace(QStringLiteral("<D>"), QRegularExpression::escape(date))
            .replace(QStringLiteral("<T>"), QStringLiteral("\\d\\d:\\d\\d:\\d\\d"))
            .replace(QStringLiteral("<E>"), QStringLiteral("\\d\\d+:\\d\\d:\\d\\d"));
        // escape() turns "<" into "\\<" on some Qt versions: accept both spellings.
        pattern.replace(QStringLiteral("\\<D14\\>"), QRegularExpression::escape(date.leftJustified(14)))
            .replace(QStringLiteral("\\<D\\>"), QRegularExpression::escape(date))
            .replace(QStringLiteral("\\<T\\>"), QStringLiteral("\\d\\d:\\d\\d:\\d\\d"))
            .replace(QStringLiteral("\\<E\\>"), QStringLiteral("\\d\\d+:\\d\\d:\\d\\d"));
        const QRegularExpression re(QStringLiteral("^") + pattern + QStringLiteral("$"));
        EXPECT_TRUE(re.match(actual[i]).hasMatch())
            << "line " << i << ": \"" << actual[i].toStdString() << "\" is not \"" << expected[i].toStdString() << '"';
    }
}

QList<int> ScanTest::ChannelsSent(const QString& band) const
{
    QList<int> channels;
    const QRegularExpression re(QStringLiteral("^CONF:%1:BS:TCH:ARFC (\\d+);\\*ESR\\?$").arg(band));
    for (const QString& line : tester->receivedLines()) {
        const auto m = re.match(line);
        if (m.hasMatch())
            channels << m.captured(1).toInt();
    }
    return channels;
}

QStringList ScanTest::LinesFrom(const QString& from, int count, int occurrence) const
{
    const QStringList all = tester->receivedLines();
    qsizetype at = -1;
    for (int i = 0; i < occurrence; ++i) {
        at = all.indexOf(from, at + 1);
        if (at < 0)
            return {};
    }
    return all.mid(at, count);
}

}  // namespace celvio::testing
