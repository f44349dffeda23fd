// The index names every folder from the station directory, whatever path leads to the
// station: relative, absolute, roundabout and linked spellings share one index and
// read no file twice; an index of the older layout, whose names began with the path
// from the current directory, is renamed in place; celvio-history shows each file with
// a path that leads to it from anywhere.
#include "history/history_cli.h"
#include "history/history_query.h"
#include "history_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace celvio::testing {
namespace {

// The current directory for one test, given back at its end.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& path) : old_(QDir::currentPath()) { EXPECT_TRUE(QDir::setCurrent(path)); }
    ~CurrentDirectory() { QDir::setCurrent(old_); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    QString old_;
};

const QStringList kFolders{"RESULTS", "RESULTS/351234", "RESULTS/490154", "RESULTS/LOG", "RESULTS/LOG/BACKUP26"};

class HistoryPathsTest : public HistoryFixture {
protected:
    void SetUp() override { HandWrittenStation(); }

    QString Parent() const { return QFileInfo(dir.path()).absolutePath(); }
    QString Name() const { return QFileInfo(dir.path()).fileName(); }

    // Every folder name the index holds, in the folders and in the files.
    static QStringList Folders(HistoryIndex& index)
    {
        QStringList names;
        QSqlQuery q(index.Database());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT path FROM folders UNION SELECT folder FROM files ORDER BY 1")));
        while (q.next())
            names << q.value(0).toString();
        return names;
    }

};

TEST_F(HistoryPathsTest, EverySpellingOfTheStationSharesOneIndex)
{
    QTemporaryDir elsewhere;
    const QString link = elsewhere.path() + QStringLiteral("/station");
    ASSERT_TRUE(QFile::link(dir.path(), link));
    CurrentDirectory here(Parent());
    const QString spellings[] = {
        Name(),
        dir.path(),
        QStringLiteral("./") + Name() + QStringLiteral("/"),
        QStringLiteral("../") + QFileInfo(Parent()).fileName() + QStringLiteral("/") + Name(),
        Name() + QStringLiteral("/RESULTS/.."),
        link,
    };
    bool first = true;
    for (const QString& station : spellings) {
        for (UpdateScope scope : {UpdateScope::ChangedFolders, UpdateScope::EveryFile}) {
            HistoryIndex index(station);
            IndexCounts counts;
            QString error;
            ASSERT_TRUE(index.Update(scope, &counts, &error)) << qPrintable(station) << qPrintable(error);
            EXPECT_EQ(counts.Read, first ? 11 : 0) << qPrintable(station);
            EXPECT_EQ(counts.Removed, 0) << qPrintable(station);
            EXPECT_EQ(Folders(index), kFolders) << qPrintable(station);
            QList<TestRow> tests;
            ASSERT_TRUE(FindTests(index, QStringLiteral("490154203237518"), tests));
            ASSERT_EQ(tests.size(), 2);
            EXPECT_EQ(tests[1].File, QStringLiteral("RESULTS/490154/3237518.TXT")) << qPrintable(station);
            first = false;
        }
    }
}

TEST_F(HistoryPathsTest, AnIndexOfTheOlderLayoutIsRenamedNotReadAgain)
{
    {
        HistoryIndex index(dir.path());
        ASSERT_TRUE(index.Update(UpdateScope::EveryFile));
    }
    // As a program given "RESULTS/old" from the folder above left it (a path that holds
    // the word RESULTS itself), with one folder already named right, a stale second name
    // of it, and a folder that is gone since.
    OnTheFile({
        "UPDATE folders SET path = 'RESULTS/old/' || path WHERE path <> 'RESULTS/490154'",
        "UPDATE files SET folder = 'RESULTS/old/' || folder WHERE folder <> 'RESULTS/490154'",
        "INSERT INTO folders VALUES ('RESULTS/old/RESULTS/490154', 1), ('RESULTS/old/RESULTS/999999', 1)",
        "INSERT INTO files (folder, name, size, mtime, kind, status) VALUES"
        " ('RESULTS/old/RESULTS/490154', '3237518.TXT', 1, 1, 'result', 'ok'),"
        " ('RESULTS/old/RESULTS/999999', '0000001.TXT', 1, 1, 'result', 'ok')",
        "PRAGMA user_version = 1",
    });

    HistoryIndex index(dir.path());
    IndexCounts counts;
    QString error;
    ASSERT_TRUE(index.Update(UpdateScope::EveryFile, &counts, &error)) << qPrintable(error);
    // Renamed, not read again as files of new folders; only the result files are read
    // again, as an index of that age holds none of their readings.
    EXPECT_EQ(counts.Read, 7);
    EXPECT_EQ(counts.Unchanged, 4);
    EXPECT_EQ(counts.Removed, 0);
    EXPECT_EQ(Folders(index), kFolders);
    QList<TestRow> tests;
    ASSERT_TRUE(ListTests(index, TestFilter{}, tests));
    ASSERT_EQ(tests.size(), 4);
    EXPECT_EQ(tests[3].File, QStringLiteral("RESULTS/351234/0000017.TXT"));
    QList<RecordRow> records;
    ASSERT_TRUE(FindRecords(index, QStringLiteral("351234000000017"), records));
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].File, QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IME"));
    QSqlQuery version(index.Database());
    ASSERT_TRUE(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
    EXPECT_EQ(version.value(0).toInt(), 3);
}

TEST_F(HistoryPathsTest, CelvioHistoryShowsFilesWithPathsThatLeadToThem)
{
    CurrentDirectory here(Parent());
    QString out, err;
    auto run = [&](const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return RunHistoryCli(args, o, e);
    };
    const QString file = dir.path() + QStringLiteral("/RESULTS/490154/3237518.TXT");
    ASSERT_EQ(run({"--station", Name(), "find", "490154203237518"}), kHistoryOk);
    EXPECT_TRUE(out.contains(QStringLiteral("Call From Base Station: Failed  ") + file + QLatin1Char('\n')))
        << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("  ") + dir.path() + QStringLiteral("/RESULTS/LOG/AB123ACT.IME:4\n")))
        << qPrintable(out);

    // The other spelling reads nothing again; JSON names the same file.
    ASSERT_EQ(run({"--station", dir.path(), "update"}), kHistoryOk);
    EXPECT_TRUE(out.startsWith(QStringLiteral("0 files read, 11 unchanged, 0 removed, 4 skipped")))
        << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("skipped: ") + dir.path() +
                             QStringLiteral("/RESULTS/LOG/NOTES.IME: not a record file\n")));
    ASSERT_EQ(run({"--station", QStringLiteral("./") + Name(), "--json", "list", "--imei", "4901542032"}), kHistoryOk);
    const QJsonArray rows = QJsonDocument::fromJson(out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1][QStringLiteral("file")].toString(), file);

    // The CSV export keeps paths inside the station, so that it reads the same anywhere.
    ASSERT_EQ(run({"--station", Name(), "export", "--csv", "-", "--verdict", "aborted"}), kHistoryOk);
    EXPECT_TRUE(out.endsWith(QStringLiteral(",RESULTS/490154/3237518.TXT\r\n"))) << qPrintable(out);
}

}  // namespace
}  // namespace celvio::testing
