// What the index keeps of a file, in the forms it writes by hand: the compact text of a
// test's readings (each value counted in characters, whatever its bytes), and the dates
// of the swap records, as days where they are days and as written where not.
#include "history/index_readings.h"
#include "history_fixture.h"

#include <QSqlQuery>
#include <QVariant>

namespace celvio::testing {
namespace {

TEST(ReadingsTextTest, CellsAreWrittenAndReadBackByTheirLengths)
{
    const QString longValue(300, QLatin1Char('9'));
    const QList<EncodedCell> cells{
        {7, 1, 20, ReadingOutcome::Passed, 0, QStringLiteral("33.0")},
        {12, 2, 512, ReadingOutcome::Failed, 3, QString()},
        {3, 1, 0, ReadingOutcome::PassedOnRepeat, 0, QStringLiteral(u"5 \u00b5s")},
        {1, 1, 0, ReadingOutcome::NotNeeded, 12, QStringLiteral("a,b:c,1:")},
        {4000000000LL, 2, 1023, ReadingOutcome::NotTested, 0, longValue},
    };
    QString text;
    for (const EncodedCell& cell : cells)
        EncodeCell(text, cell);
    EXPECT_EQ(text, QStringLiteral(u"7,1,20,P,,4:33.0"
                                   u"12,2,512,F,3,0:"
                                   u"3,1,0,R,,4:5 \u00b5s"
                                   u"1,1,0,N,12,8:a,b:c,1:"
                                   u"4000000000,2,1023,T,,300:") +
                        longValue);
    // The bytes the index stores are UTF-8: the length still counts characters.
    EXPECT_EQ(EncodedTail(cells[2]), QByteArray(",1,0,R,,4:5 \xc2\xb5s"));
    QList<EncodedCell> read;
    ASSERT_TRUE(DecodeCells(text, read));
    EXPECT_EQ(read, cells);
}

class RecordDatesTest : public HistoryFixture {};

TEST_F(RecordDatesTest, ADayIsStoredAsOneAnythingElseAsWritten)
{
    Put(QStringLiteral("RESULTS/LOG/AB123ACT.IME"), HandWritten(R"(
IWRIMEI	V1.0	AB123	20261207|
IMEI	351234570543215		*	20261207	FAIL|
IMEI	351234570543215		*	20240229	PASS|
IMEI	351234570543215		*	20250229	PASS|
IMEI	351234570543215		*	20261301	PASS|
IMEI	351234570543215		*	19691231	PASS|
IMEI	351234570543215		*	2026-12-	PASS|
IMEI	351234570543215		*	 20261207	PASS|
END	 7 |
)"));
    HistoryIndex index(dir.path());
    QString error;
    ASSERT_TRUE(index.Update(UpdateScope::EveryFile, nullptr, &error)) << qPrintable(error);
    QStringList dates;
    QSqlQuery q(index.Database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT date FROM records ORDER BY line")));
    while (q.next())
        dates << q.value(0).toString();
    // A leap day, a 29 February of no leap year, a 13th month, a year before the
    // station's first, a date not all digits; blanks around the field are not its own.
    EXPECT_EQ(dates, QStringList({"2026-12-07", "2024-02-29", "20250229", "20261301", "19691231", "2026-12-",
                                  "2026-12-07"}));
}

}  // namespace
}  // namespace celvio::testing
