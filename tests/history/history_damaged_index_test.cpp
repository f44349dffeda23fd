// An index that a hand, a crash or another program left damaged: tables missing for the
// layout it names, a layout it cannot be, readings texts cut short or naming row texts
// the index does not have. The index is only a copy of the files: it is made anew or
// read again, never trusted half.
#include "history/history_query.h"
#include "history/index_readings.h"
#include "history_fixture.h"

#include <QSqlQuery>
#include <QVariant>

namespace celvio::testing {
namespace {

class DamagedIndexTest : public HistoryFixture {
protected:
    void SetUp() override
    {
        HandWrittenStation();
        HistoryIndex index(dir.path());
        QString error;
        ASSERT_TRUE(index.Update(UpdateScope::EveryFile, nullptr, &error)) << qPrintable(error);
    }

    qint64 TestOf(HistoryIndex& index, const char* file)
    {
        QSqlQuery q(index.Database());
        q.prepare(QStringLiteral("SELECT t.id FROM tests t JOIN files f ON f.id = t.file_id WHERE f.name = ?"));
        q.bindValue(0, QString::fromLatin1(file));
        return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
    }
};

TEST_F(DamagedIndexTest, TablesThatDoNotFitTheLayoutMakeTheIndexAnew)
{
    const struct {
        const char* what;
        QStringList statements;
    } cases[] = {
        {"present layout, a table dropped", {"DROP TABLE tests"}},
        {"present layout, the readings dropped", {"DROP TABLE readings"}},
        {"first layout, a table dropped", {"DROP TABLE folders", "PRAGMA user_version = 1"}},
        {"second layout, a table dropped", {"DROP TABLE marks", "PRAGMA user_version = 2"}},
        {"no version, tables of another program",
         {"DROP TABLE records", "DROP TABLE marks", "DROP TABLE readings", "DROP TABLE tests",
          "PRAGMA user_version = 0"}},
        {"a negative version", {"PRAGMA user_version = -1"}},
        {"a layout of a later program", {"PRAGMA user_version = 4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        OnTheFile(c.statements);
        HistoryIndex index(dir.path());
        QString error;
        ASSERT_TRUE(index.Update(UpdateScope::ChangedFolders, nullptr, &error)) << qPrintable(error);
        QList<TestRow> tests;
        ASSERT_TRUE(ListTests(index, TestFilter{}, tests, &error)) << qPrintable(error);
        EXPECT_EQ(tests.size(), 4);
        QList<RecordRow> records;
        ASSERT_TRUE(FindRecords(index, QStringLiteral("490154203237518"), records));
        EXPECT_EQ(records.size(), 2);
    }
}

// SQLite finds damage inside the file only where it reads: at the opening of an index
// to migrate, or in the pass that reads the damaged pages.
TEST_F(DamagedIndexTest, AFileDamagedInsideIsMadeAnewByThePassThatFindsIt)
{
    for (const int version : {3, 1}) {
        SCOPED_TRACE(version);
        SetUp();
        OnTheFile({QStringLiteral("PRAGMA user_version = %1").arg(version)});
        {
            // Every page after the first (the header and the list of tables) overwritten.
            QFile file(Path(HistoryIndex::DatabaseName()));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_GT(file.size(), 8192);
            ASSERT_TRUE(file.seek(4096));
            file.write(QByteArray(file.size() - 4096, '\xff'));
        }
        HistoryIndex index(dir.path());
        QString error;
        ASSERT_TRUE(index.Update(UpdateScope::ChangedFolders, nullptr, &error)) << qPrintable(error);
        QList<TestRow> tests;
        ASSERT_TRUE(ListTests(index, TestFilter{}, tests, &error)) << qPrintable(error);
        EXPECT_EQ(tests.size(), 4);
    }
}

TEST_F(DamagedIndexTest, DamagedReadingsAreRefusedAndReadAgain)
{
    HistoryIndex index(dir.path());
    ASSERT_TRUE(index.Open());
    qint64 test = TestOf(index, "0000017.TXT");
    QList<IndexedReading> whole;
    ASSERT_TRUE(ReadingsOfTest(index, test, whole));
    ASSERT_GE(whole.size(), 10);

    // Cut in a value, a cell with no value at all, a row text the index does not have or
    // one without its quantity, a band 3, a negative channel.
    const QStringList damages{
        "UPDATE readings SET cells = substr(cells, 1, length(cells) - 2) WHERE test_id = %1",
        "UPDATE readings SET cells = cells || '7,1,20,p,' WHERE test_id = %1",
        "UPDATE readings SET cells = '987654,1,20,p,,4:33.2' WHERE test_id = %1",
        "UPDATE reading_rows SET quantity = NULL WHERE %1 > 0",
        "UPDATE readings SET cells = replace(cells, ',1,', ',3,') WHERE test_id = %1",
        "UPDATE readings SET cells = replace(cells, ',1,20,', ',1,-20,') WHERE test_id = %1",
    };
    for (const QString& damage : damages) {
        SCOPED_TRACE(qPrintable(damage));
        OnTheFile({damage.arg(test)});
        QList<IndexedReading> readings;
        QString error;
        EXPECT_FALSE(ReadingsOfTest(index, test, readings, &error));
        EXPECT_TRUE(readings.isEmpty());
        EXPECT_EQ(error, QStringLiteral("the readings of test %1 in the index are damaged (celvio-history rebuild "
                                        "reads them again)").arg(test));

        // Marked to be read again, the next update of the changed folders repairs it.
        QSqlQuery file(index.Database());
        ASSERT_TRUE(file.exec(QStringLiteral("SELECT file_id FROM tests WHERE id = %1").arg(test)) && file.next());
        ASSERT_TRUE(ReadAgain(index, {file.value(0).toLongLong()}));
        IndexCounts counts;
        ASSERT_TRUE(index.Update(UpdateScope::ChangedFolders, &counts));
        EXPECT_EQ(counts.Read, 1);
        test = TestOf(index, "0000017.TXT");  // read again, it is a new test of the index
        ASSERT_TRUE(ReadingsOfTest(index, test, readings, &error)) << qPrintable(error);
        EXPECT_EQ(readings, whole);
    }
}

}  // namespace
}  // namespace celvio::testing
