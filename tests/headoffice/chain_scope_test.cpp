// The History window's chain scope, offscreen, against the test cluster: shown only
// with a head office, the server's state in plain words (reachable or why not, the
// last push), and a phone looked up across the chain with the shop of each row.
#include "headoffice_fixture.h"
#include "shell/qt/chain_scope.h"
#include "shell/qt/history_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>

namespace celvio::testing {
namespace {

class ChainScopeTest : public HeadOfficeFixture {
protected:
    void HeadOfficeFile(int port)
    {
        Put(QStringLiteral("HEADOFFICE.INI"),
            QStringLiteral("; the chain's server\r\nHOST=127.0.0.1\r\nPORT=%1\r\nDATABASE=%2\r\nUSER=shop_a\r\n"
                           "COUNTER=Kasse 1\r\n")
                .arg(port)
                .arg(db)
                .toLatin1());
    }
    // Lets the scope's questions to the server finish.
    static void Settle(ChainScopeView* chain)
    {
        QElapsedTimer clock;
        clock.start();
        while (chain->Busy() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents();
    }
    static QStringList Column(QTableWidget* rows, int column)
    {
        QStringList cells;
        for (int r = 0; r < rows->rowCount(); ++r)
            cells << rows->item(r, column)->text();
        return cells;
    }
};

TEST_F(ChainScopeTest, APhoneOfTwoShopsAndTheServersState)
{
    HandWrittenStation();
    ServicePoint(dir.path(), QStringLiteral("AB123"), QStringLiteral("Handy Shop Nord"));
    HeadOfficeFile(pg.Port);
    // Before the first push, a station without a head office has no chain scope.
    {
        QTemporaryDir plain;
        HistoryWindowView window(plain.path(), nullptr, QDate(2026, 12, 9), 5000, QStringLiteral(CELVIO_HISTORY_PROGRAM));
        EXPECT_EQ(window.Chain(), nullptr);
    }
    ASSERT_EQ(RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("push")}).Code, 0);
    // The same phone tested at a second shop.
    QTemporaryDir other;
    PutAt(other.path() + QStringLiteral("/RESULTS/351234/0000017.TXT"), HandWritten(kPassedGsmFile));
    ServicePoint(other.path(), QStringLiteral("CD456"), QStringLiteral("Shop CD"));
    ASSERT_EQ(Push(other.path(), QStringLiteral("shop_b"), QStringLiteral("Tresen")).Code, 0);

    HistoryWindowView window(dir.path(), nullptr, QDate(2026, 12, 9), 5000, QStringLiteral(CELVIO_HISTORY_PROGRAM));
    ChainScopeView* chain = window.Chain();
    ASSERT_NE(chain, nullptr);
    Settle(chain);
    const QString state = chain->State()->text();
    EXPECT_TRUE(state.startsWith(QStringLiteral("Head office ") + pg.Server(QStringLiteral("shop_a"), db) +
                                 QStringLiteral(": last push 20")))
        << state.toStdString();
    EXPECT_TRUE(state.contains(QStringLiteral(", 0 files pending"))) << state.toStdString();
    EXPECT_TRUE(state.endsWith(QStringLiteral("\nServer reachable."))) << state.toStdString();

    window.Search(QStringLiteral("351234000000017"));
    Settle(chain);
    EXPECT_EQ(chain->Outcome()->text(), QStringLiteral("351234000000017 in the chain: 2 tests, 1 swap records"));
    EXPECT_EQ(Column(chain->Rows(), 5), (QStringList{QStringLiteral("CD456"), QStringLiteral("AB123"),
                                                     QStringLiteral("AB123")}));
    EXPECT_EQ(Column(chain->Rows(), 1), (QStringList{QStringLiteral("test"), QStringLiteral("test"),
                                                     QStringLiteral("IMEI record")}));
    // Digits that are no whole IMEI stay in the station.
    window.Search(QStringLiteral("3512"));
    EXPECT_EQ(chain->Rows()->rowCount(), 0);
    EXPECT_FALSE(chain->Busy());
}

TEST_F(ChainScopeTest, AServerThatIsDownIsSaidPlainly)
{
    HandWrittenStation();
    HeadOfficeFile(1);
    HistoryWindowView window(dir.path(), nullptr, QDate(2026, 12, 9), 5000, QStringLiteral(CELVIO_HISTORY_PROGRAM));
    ChainScopeView* chain = window.Chain();
    ASSERT_NE(chain, nullptr);
    Settle(chain);
    const QString state = chain->State()->text();
    EXPECT_TRUE(state.startsWith(QStringLiteral("Head office shop_a@127.0.0.1:1/") + db +
                                 QStringLiteral(": never pushed")))
        << state.toStdString();
    EXPECT_TRUE(state.contains(QStringLiteral("\nServer NOT reachable: shop_a@127.0.0.1:1/") + db +
                               QStringLiteral(": server not reachable")))
        << state.toStdString();
    window.Search(QStringLiteral("351234000000017"));
    Settle(chain);
    EXPECT_TRUE(chain->Outcome()->text().startsWith(QStringLiteral("The chain was not asked: ")))
        << chain->Outcome()->text().toStdString();
    // The station's own list is there all the same.
    EXPECT_EQ(window.List()->rowCount(), 1);
}

}  // namespace
}  // namespace celvio::testing
