// A station directory with hand-written result files and swap record files, for the
// history index, its queries and celvio-history.
#pragma once

#include "support/result_files.h"
#include "support/station_fixture.h"
#include "history/history_index.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace celvio::testing {

// A test aborted by the call from the base station; everything after it not tested.
inline constexpr char kAbortedFile[] = R"(
TEST REPORT - CELVIO : 2.02|
Date: 12/8/26 Time: 09:15:00|
|
OVERALL TEST RESULT: Failed|
|
Dalvora MOBILE TESTER  : 7703S          Serial Number: 100123|
       Firmware Version: V3.10|
MOBILE TELEPHONE       : Kestrel 20        Cellular System: GSM900|
    IMEI: 490154203237518    IMSI: 001010987654321|
|
Customer fault description: |
No ring tone|
|
TEST ENVIRONMENT:|
  Mobile Connected Via : Dalvora Antenna Coupler (K580)|
|
      Broadcast Channel: 30 |
         BS Power Level: -60 dBm|
|
Call From Mobile       : Passed|
Dialled Number         : 0123           ( 0123 )|
Call From Base Station : * Failed|
Speech Loopback        : Not tested|
|
Traffic Channel        :  20 |
TX Power 5 (33 dBm)    : Not tested     ( 31 - 35 dBm )|
RX Level (50)          : Not tested     ( 47 -  53 )|
RX Quality             : Not tested     ( 0 - 2 )|
)";

// The phone of the aborted test exchanged on the spot, recorded under the new phone.
inline constexpr char kDirectSwapFile[] = R"(
TEST REPORT - CELVIO : 2.02|
Date: 12/8/26 Time: 09:40:12|
|
Mobile phone not tested. Swapped direct.|
|
Dalvora MOBILE TESTER  : 7703S          Serial Number: 100123|
       Firmware Version: V3.10|
|
OLD MOBILE IMEI: 490154203237518|
NEW MOBILE IMEI: 490154209999991|
|
Swap comment :|
----|
)";

inline constexpr char kSwapFile[] = R"(
IWRSWAP	V1.0	AB123	20261208|
# Handy Shop Nord	Hauptstr. 5 Kiel	0431 998877	M. Berg|
SWAP	490154203237518	490154209999991	0123456789	20261208|
END	 1 |
)";

inline constexpr char kImeiFile[] = R"(
IWRIMEI	V1.0	AB123	20261207|
# Handy Shop Nord	Hauptstr. 5 Kiel	0431 998877	M. Berg|
IMEI	351234570543215		*	20261207	FAIL|
IMEI	490154203237518	490154209999991	0123456789	20261208	SWAP|
END	 2 |
)";

// An archive of the day before, with a damaged line among its records.
inline constexpr char kArchivedImeiFile[] = R"(
IWRIMEI	V1.0	AB123	20261206|
# Handy Shop Nord	Hauptstr. 5 Kiel	0431 998877	M. Berg|
IMEI	351234000000017		*	20261206	PASS|
IMEI	3512340000|
END	 2 |
)";

class HistoryFixture : public ::testing::Test {
protected:
    QString Path(const QString& relative) const { return dir.path() + QLatin1Char('/') + relative; }

    // The evening of the hand-written files' test day. A file's time within a day of an
    // ambiguous date ("12/7/26") picks the order of day and month; a file written "now"
    // would read differently from one day of the month to the next.
    static QDateTime WrittenOnTestDay() { return QDateTime(QDate(2026, 12, 7), QTime(18, 0)); }

    // Writes a file (its folders made) and gives it a modification time.
    static void PutAt(const QString& path, const QByteArray& bytes, const QDateTime& time = WrittenOnTestDay())
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }

    // Writes a file of the station.
    void Put(const QString& relative, const QByteArray& bytes, const QDateTime& time = WrittenOnTestDay())
    {
        PutAt(Path(relative), bytes, time);
    }

    // Statements run on the station's index file by another connection, outside
    // HistoryIndex, as a hand would.
    void OnTheFile(const QStringList& statements)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("by-hand"));
            db.setDatabaseName(Path(HistoryIndex::DatabaseName()));
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            for (const QString& sql : statements)
                EXPECT_TRUE(q.exec(sql)) << qPrintable(sql);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("by-hand"));
    }

    // The hand-written station: four result files, the record files of the day, an
    // archive, and four files that are not what their names say.
    void HandWrittenStation()
    {
        const QDateTime dec8(QDate(2026, 12, 8), QTime(18, 0));
        Put(QStringLiteral("RESULTS/351234/0000017.TXT"), HandWritten(kPassedGsmFile));
        Put(QStringLiteral("RESULTS/351234/0543215.TXT"), HandWritten(kFailedDualBandGermanFile));
        Put(QStringLiteral("RESULTS/490154/3237518.TXT"), HandWritten(kAbortedFile), dec8);
        Put(QStringLiteral("RESULTS/490154/9999991.TXT"), HandWritten(kDirectSwapFile), dec8);
        Put(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"), HandWritten(kSwapFile), dec8);
        Put(QStringLiteral("RESULTS/LOG/AB123ACT.IME"), HandWritten(kImeiFile), dec8);
        Put(QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IME"), HandWritten(kArchivedImeiFile));
        // Damaged and foreign files: cut off after the title, binary, a stranger's note,
        // a file far too large for a result file.
        Put(QStringLiteral("RESULTS/351234/0000017A.TXT"), "TEST REPORT - CELVIO : 2.02\r\nDate: 12/7/26");
        Put(QStringLiteral("RESULTS/351234/0000017B.TXT"), QByteArray("\x7f" "ELF\0\0\x01\x02", 8));
        Put(QStringLiteral("RESULTS/LOG/NOTES.IME"), "shopping list\r\n");
        Put(QStringLiteral("RESULTS/490154/HUGE.TXT"), "TEST REPORT - CELVIO : 2.02\r\n" + QByteArray(2 << 20, ' '));
        // Not indexed at all: temporary files of an interrupted write or rewrite, a claim.
        Put(QStringLiteral("RESULTS/351234/0000017C.TXT.aB3xYz"), "half");
        Put(QStringLiteral("RESULTS/LOG/AB123L06.IWR.IN"), "claim");
        Put(QStringLiteral("RESULTS/LOG/temp.iwr"), HandWritten(kSwapFile));
    }

    QTemporaryDir dir;
};

}  // namespace celvio::testing
