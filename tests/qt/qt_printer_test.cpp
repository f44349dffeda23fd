// The PDF printer of the Qt platform (no printer installed, or CELVIO_PDF_DIR): a
// document reaches its final name only whole, checked and synced; on a full disk and
// in a read-only PRINTS/ folder the operator is told the file and the system's reason,
// and nothing under a final PDF name is ever part of a document. A real tmpfs where
// one can be mounted; an injected fault of the file layer elsewhere.
#include "core/files.h"
#include "core/trace.h"
#include "shell/qt/qt_printer.h"
#include "support/station_fixture.h"
#include "support/tmpfs_mount.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace celvio::testing {
namespace {

const QString kEarlier = QStringLiteral("celvio-20261206-093000-000.pdf");  // a document printed before
const QString kProblem = QStringLiteral("There was a problem printing to your printer.");

class QtPrinterTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.DebugMode = kTrue;
        prints = dir.filePath(QStringLiteral("PRINTS"));
    }

    // The trace window's PRINT with `lines` lines in the trace, on the PDF printer.
    void PrintTrace(QtPrinter& pdf, int lines)
    {
        app.DebugFrm.DebugFeld.clear();
        for (int i = 1; i <= lines; ++i)
            app.DebugFrm.DebugFeld << QStringLiteral("Trace line %1 of the document").arg(i);
        platform.boxes.clear();
        platform.realPrinter = &pdf;
        DebugFrm_PrintClick(app);
        platform.realPrinter = nullptr;
    }
    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The names in PRINTS/ other than the filler of a full disk.
    QStringList Entries() const
    {
        QStringList names = QDir(prints).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }
    void LayEarlier()
    {
        QDir().mkpath(prints);
        QFile file(QDir(prints).filePath(kEarlier));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4 an earlier document");
    }
    // The operator was told, and the trace says why; `reason` is the system's.
    void ExpectToldWithFileAndReason(const QtPrinter& pdf, const QString& reason)
    {
        const QString file = pdf.FailedFile();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(prints) +
                                       QStringLiteral("/celvio-\\d{8}-\\d{6}-\\d{3}\\.pdf$"))
                        .match(file)
                        .hasMatch())
            << qPrintable(file);
        ASSERT_EQ(platform.boxes.size(), 1);
        const QString saveAs = QStringLiteral("\r\nThe document could not be saved as\r\n");
        EXPECT_EQ(platform.boxes[0].text, kProblem + saveAs + file + QStringLiteral("\r\n") + reason);
        EXPECT_EQ(platform.boxes[0].style, msgbox::kOkOnly);
        EXPECT_EQ(Trace().last(), QStringLiteral("Trace not printed: ") + file +
                                      QStringLiteral(" could not be written (") + reason + u')');
        EXPECT_TRUE(pdf.LastPdfFile().isEmpty());
    }
    // Once the disk is sound again the same print goes through, whole.
    void ExpectPrintedOnASoundDisk(QtPrinter& pdf)
    {
        PrintTrace(pdf, 300);
        ExpectNoBoxes();
        ASSERT_FALSE(pdf.LastPdfFile().isEmpty());
        EXPECT_TRUE(QtPrinter::IsCompletePdf(Bytes(pdf.LastPdfFile())));
        EXPECT_EQ(Entries(), (QStringList{kEarlier, QFileInfo(pdf.LastPdfFile()).fileName()}));
    }

    QString prints;
};

TEST_F(QtPrinterTest, DocumentsReachTheirNamesWholeAndNeverReplaceEachOther)
{
    QtPrinter pdf(prints);  // PRINTS/ does not exist yet
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        PrintTrace(pdf, 120);
        ExpectNoBoxes();
        const QString file = pdf.LastPdfFile();
        ASSERT_EQ(QFileInfo(file).path(), prints);
        EXPECT_TRUE(QtPrinter::IsCompletePdf(Bytes(file)));
        names << QFileInfo(file).fileName();
    }
    // Three documents within a few milliseconds: three names, no temporary file left.
    names.sort();
    EXPECT_EQ(Entries(), names);
    // A document with nothing printed is no document.
    EXPECT_EQ(pdf.EndDoc(), 0);
    EXPECT_EQ(Entries().size(), 3);
}

TEST_F(QtPrinterTest, CompleteDocumentIsRecognisedAndEveryCutOneRefused)
{
    QtPrinter pdf(prints);
    PrintTrace(pdf, 300);
    const QByteArray whole = Bytes(pdf.LastPdfFile());
    ASSERT_GT(whole.size(), 8192);
    QByteArray wrongOffset = whole;
    const qsizetype startxref = wrongOffset.lastIndexOf("startxref");
    wrongOffset.replace(startxref, wrongOffset.size() - startxref, "startxref\n17\n%%EOF\n");
    const struct {
        const char* what;
        QByteArray bytes;
        bool complete;
    } cases[] = {
        {"as written", whole, true},
        {"with CR LF after the end marker", whole.trimmed() + "\r\n", true},
        {"cut at 4096 bytes, as on a full disk", whole.left(4096), false},
        {"cut before its end marker", whole.left(whole.lastIndexOf("%%EOF")), false},
        {"cut inside its end marker", whole.left(whole.lastIndexOf("%%EOF") + 3), false},
        {"the end of another document", whole.left(4096) + whole.right(40), false},
        {"a cross reference offset that is no table", wrongOffset, false},
        {"no PDF at all", QByteArray("hello\n%%EOF\n"), false},
        {"empty", QByteArray(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QtPrinter::IsCompletePdf(c.bytes), c.complete) << c.what;
}

TEST_F(QtPrinterTest, FullDiskLeavesNoPartOfADocumentAndTellsTheOperator)
{
    // A real full disk: PRINTS/ is a 256 KiB tmpfs, filled up.
    {
        TmpfsMount disk;
        QDir().mkpath(prints);
        if (!disk.Mount(prints, QStringLiteral("256k"))) {
            RecordProperty("full_disk", "no tmpfs can be mounted here: injected faults only");
        } else {
            SCOPED_TRACE("full tmpfs");
            LayEarlier();
            QFile filler(QDir(prints).filePath(QStringLiteral("filler")));
            ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size()) {
            }
            while (filler.write("f", 1) == 1) {
            }
            QtPrinter pdf(prints);
            PrintTrace(pdf, 300);
            ExpectToldWithFileAndReason(pdf, QStringLiteral("No space left on device"));
            EXPECT_EQ(Entries(), QStringList{kEarlier});
            filler.remove();
            ExpectPrintedOnASoundDisk(pdf);
        }
    }
    // The file layer's injected faults: no byte written, a write failing after 4 KiB
    // (where a full disk stopped the PDF before), and a failing sync to disk.
    const FileWriteFault faults[] = {{0, false, false}, {4096, false, false}, {-1, true, false}};
    for (const FileWriteFault& fault : faults) {
        SCOPED_TRACE(::testing::Message() << "fault after " << fault.bytesBeforeFailure << " bytes, sync "
                                          << fault.failSync);
        QDir(prints).removeRecursively();
        LayEarlier();
        QtPrinter pdf(prints, &app.FileSeams.Fault);
        app.FileSeams.Fault = fault;
        PrintTrace(pdf, 300);
        app.FileSeams.Fault = {};
        ExpectToldWithFileAndReason(pdf, QStringLiteral("the disk refused the data"));
        EXPECT_EQ(Entries(), QStringList{kEarlier});
        ExpectPrintedOnASoundDisk(pdf);
    }
}

TEST_F(QtPrinterTest, ReadOnlyPrintsFolderIsToldWithTheFileAndReason)
{
    TmpfsMount disk;
    QDir().mkpath(prints);
    const bool mounted = disk.Mount(prints, QStringLiteral("1m"));
    RecordProperty("read_only", mounted ? "mounted read-only tmpfs" : "injected fault");
    LayEarlier();
    QtPrinter pdf(prints, &app.FileSeams.Fault);
    if (mounted) {
        ASSERT_TRUE(disk.SetReadOnly(true));
    } else {
        app.FileSeams.Fault = {-1, false, true};
    }
    PrintTrace(pdf, 20);
    // The printer itself started: the file is what failed, and the operator hears so.
    EXPECT_NE(pdf.LastError(), QStringLiteral("the printer could not be started"));
    ExpectToldWithFileAndReason(pdf, QStringLiteral("Read-only file system"));
    EXPECT_EQ(Entries(), QStringList{kEarlier});
    if (mounted) {
        ASSERT_TRUE(disk.SetReadOnly(false));
    } else {
        app.FileSeams.Fault = {};
    }
    ExpectPrintedOnASoundDisk(pdf);
}

// PRINTS/ does not exist and cannot be made in a read-only station directory.
TEST_F(QtPrinterTest, MissingPrintsFolderOnAReadOnlyDiskSaysWhy)
{
    const QString station = dir.filePath(QStringLiteral("station"));
    QDir().mkpath(station);
    TmpfsMount disk;
    if (!disk.Mount(station, QStringLiteral("64k")) || !disk.SetReadOnly(true))
        GTEST_SKIP() << "no tmpfs can be mounted here";
    prints = station + QStringLiteral("/PRINTS");
    QtPrinter pdf(prints);
    PrintTrace(pdf, 5);
    ExpectToldWithFileAndReason(pdf, QStringLiteral("Read-only file system"));
    EXPECT_FALSE(QFileInfo::exists(prints));
}

}  // namespace
}  // namespace celvio::testing
