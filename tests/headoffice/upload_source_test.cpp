// What a push gathers from the station's index, without a server: a test whose readings
// the index holds damaged is not sent without them; it waits, and the next update of
// the index reads its file again and sends it whole.
#include "headoffice/upload_source.h"
#include "history/history_fixture.h"

#include <QSqlQuery>
#include <QVariant>

namespace celvio::testing {
namespace {

class UploadSourceTest : public HistoryFixture {};

// The names of the files of a batch, with the readings count of each test.
QStringList Sent(const QList<UploadFile>& batch)
{
    QStringList names;
    for (const UploadFile& f : batch)
        names << f.File.Name + (f.Test ? QStringLiteral(" ") + QString::number(f.Test->Readings.size()) : QString());
    return names;
}

TEST_F(UploadSourceTest, ATestWithDamagedReadingsWaitsUntilItsFileIsReadAgain)
{
    HandWrittenStation();
    HistoryIndex index(dir.path());
    ASSERT_TRUE(index.Update(UpdateScope::EveryFile));
    const QString server = QStringLiteral("db.example:5432/celvio");
    QList<PendingFile> pending;
    QList<UploadFile> batch;
    QString error;
    ASSERT_TRUE(PendingFiles(index, server, pending, &error)) << qPrintable(error);
    ASSERT_TRUE(ReadUploadBatch(index, pending, batch, &error)) << qPrintable(error);
    const QStringList whole = Sent(batch);
    const QString passed = whole.filter(QStringLiteral("0000017.TXT ")).value(0);
    ASSERT_FALSE(passed.isEmpty());

    QSqlQuery damage(index.Database());
    ASSERT_TRUE(damage.exec(QStringLiteral("UPDATE readings SET cells = substr(cells, 1, length(cells) - 2) WHERE"
                                           " test_id = (SELECT t.id FROM tests t JOIN files f ON f.id = t.file_id"
                                           " WHERE f.name = '0000017.TXT')")));
    ASSERT_TRUE(ReadUploadBatch(index, pending, batch, &error)) << qPrintable(error);
    QStringList without = whole;
    without.removeAll(passed);
    EXPECT_EQ(Sent(batch), without);

    // The next update reads the file again; the push then finds it pending and whole.
    IndexCounts counts;
    ASSERT_TRUE(index.Update(UpdateScope::ChangedFolders, &counts, &error)) << qPrintable(error);
    EXPECT_EQ(counts.Read, 1);
    ASSERT_TRUE(PendingFiles(index, server, pending, &error)) << qPrintable(error);
    ASSERT_TRUE(ReadUploadBatch(index, pending, batch, &error)) << qPrintable(error);
    EXPECT_TRUE(Sent(batch).contains(passed));
}

}  // namespace
}  // namespace celvio::testing
