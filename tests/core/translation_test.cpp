// The translations: every German text the program showed before its texts moved to
// the translation files comes through the built-in German one unchanged (the table
// german_texts.tsv, written from the old English/German pairs), the German file holds
// nothing else, the LANGUAGE value chooses among the files of the folders, and a new
// language is a file alone (the pseudo-translation celvio_eo.ts, built for this test).
#include "core/settings.h"
#include "core/translation.h"
#include "support/station_fixture.h"

#include <QFile>
#include <QMap>
#include <QXmlStreamReader>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

struct TableRow {
    QByteArray english;  // UTF-8, as the sources hold it
    QByteArray note;
    QString german;
};

QString Unescaped(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar c = text[++i];
        out += c == u'n' ? u'\n' : c == u't' ? u'\t' : c == u'r' ? u'\r' : c;
    }
    return out;
}

QList<TableRow> GermanTable()
{
    QFile file(QStringLiteral(CELVIO_SOURCE_DIR "/tests/core/german_texts.tsv"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QList<TableRow> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList cells = QString::fromUtf8(line).split(u'\t');
        EXPECT_EQ(cells.size(), 3) << line.toStdString();
        if (cells.size() == 3)
            rows.append({Unescaped(cells[0]).toUtf8(), Unescaped(cells[2]).toUtf8(), Unescaped(cells[1])});
    }
    return rows;
}

QString Text(const App& app, const TableRow& row)
{
    return row.note.isEmpty() ? Tr(app, row.english.constData())
                              : Tr(app, NotedText{row.english.constData(), row.note.constData()});
}

class TranslationTest : public StationFixture {
protected:
    void ReadLanguage(const QString& value)
    {
        app.st.Language = 0;
        ReadSettingsBytes(app, (u"LANGUAGE    "_s + value + u"\r\n"_s).toLatin1());
    }
    const QString pseudo = QStringLiteral(CELVIO_TEST_TRANSLATIONS);
};

TEST_F(TranslationTest, EveryGermanTextOfTheTableComesThroughUnchangedAndEnglishStaysTheSource)
{
    const QList<TableRow> rows = GermanTable();
    ASSERT_GE(rows.size(), 120);
    ReadLanguage(u"DEUTSCH"_s);
    ASSERT_EQ(app.st.Language, 2);
    ASSERT_EQ(app.TextTranslation.Code, u"de"_s);
    for (const TableRow& row : rows)
        EXPECT_EQ(Text(app, row), row.german) << row.english.toStdString();

    // A station state set to German by hand, without the settings, speaks German too.
    App handSet(platform, app.StationDir);
    handSet.st.Language = 2;
    for (const TableRow& row : rows)
        EXPECT_EQ(Text(handSet, row), row.german) << row.english.toStdString();

    ReadLanguage(u"ENGLISH"_s);
    EXPECT_EQ(app.st.Language, 1);
    for (const TableRow& row : rows)
        EXPECT_EQ(Text(app, row), QString::fromUtf8(row.english));
}

// What lupdate and a translator may change in the file: a text the table does not
// know, a German text that differs, one left unfinished.
TEST_F(TranslationTest, TheGermanFileHoldsTheTableAndNothingElse)
{
    QMap<QPair<QString, QString>, QString> table;
    for (const TableRow& row : GermanTable())
        table.insert({QString::fromUtf8(row.english), QString::fromUtf8(row.note)}, row.german);
    QFile file(QStringLiteral(CELVIO_SOURCE_DIR "/data/translations/celvio_de.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString source, comment, type;
    int messages = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"message") {
            source.clear();
            comment.clear();
        } else if (xml.isStartElement() && xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == u"comment") {
            comment = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == u"translation") {
            type = xml.attributes().value(u"type"_s).toString();
            const QString german = xml.readElementText();
            ++messages;
            EXPECT_TRUE(type.isEmpty()) << source.toStdString() << " is " << type.toStdString();
            const auto it = table.constFind({source, comment});
            EXPECT_TRUE(it != table.constEnd()) << "not in the table: " << source.toStdString();
            if (it != table.constEnd()) {
                EXPECT_EQ(german, *it) << source.toStdString();
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(messages, table.size());
}

TEST_F(TranslationTest, TheLanguageValueChoosesAmongTheFilesOfTheFolders)
{
    const QStringList builtIn{u":/translations"_s};
    const QStringList withPseudo{u":/translations"_s, pseudo};
    EXPECT_EQ(TranslationCodes(builtIn), QStringList{u"de"_s});
    EXPECT_EQ(TranslationCodes(withPseudo), (QStringList{u"de"_s, u"eo"_s}));
    const struct {
        const char* value;
        QStringList folders;
        const char* code;
    } cases[] = {
        {"DEUTSCH", builtIn, "de"},   {"german", builtIn, "de"},      {"  De", builtIn, "de"},
        {"Gerät", builtIn, "de"},     {"ENGLISH", builtIn, ""},       {"", builtIn, ""},
        {"ESPERANTO", builtIn, ""},   {"ESPERANTO", withPseudo, "eo"}, {"eo", withPseudo, "eo"},
        {"esp", withPseudo, "eo"},    {"E", withPseudo, ""},          {"ENGLISH", withPseudo, ""},
        {"DEUTSCH", withPseudo, "de"}, {"ES", withPseudo, ""},
    };
    for (const auto& c : cases) {
        const Translation t = ChooseTranslation(QString::fromUtf8(c.value), c.folders);
        EXPECT_EQ(t.Code, QString::fromLatin1(c.code)) << c.value;
        EXPECT_EQ(t.Table != nullptr, *c.code != 0) << c.value;
    }
}

// The pseudo-translation is a .ts file and nothing else: the settings choose it, its
// texts replace the English ones (accelerators and format arguments kept), a text it
// lacks stays English, and the program's own messages come through it. (A text with a
// note that the file lacks takes the file's text without the note, as Qt looks up.)
TEST_F(TranslationTest, ANewLanguageIsAFileAlone)
{
    app.TranslationFolders << pseudo;
    ReadLanguage(u"Esperanto"_s);
    EXPECT_EQ(app.st.Language, 1);
    ASSERT_EQ(app.TextTranslation.Code, u"eo"_s);
    EXPECT_EQ(Tr(app, "Select mode"), u"[Śéléçt möðé]"_s);
    EXPECT_EQ(Tr(app, "&Yes"), u"[&Ýéš]"_s);
    EXPECT_EQ(Tr(app, "File %1 not accessible !").arg(u"BADCHAN.DAT"_s), u"[Fîlé BADCHAN.DAT ñöţ áççéššîblé !]"_s);
    EXPECT_EQ(Tr(app, NotedText{"Please dial number 123", "scan"}), u"[Þléåšé ðîål 123]"_s);
    EXPECT_EQ(Tr(app, "Test Passed!"), u"Test Passed!"_s);

    ReadSettingsBytes(app, "LANGUAGE    ESPERANTO\r\nRXQUAL      8\r\n");
    ASSERT_EQ(platform.boxes.size(), 1);
    const QString box = platform.boxes[0].text;
    EXPECT_TRUE(box.startsWith(u"[Ţĥéšé šéţţîñĝš îñ CELVIO.INI çåññöţ bé ûšéð:]\r\nRXQUAL"_s)) << box.toStdString();
    EXPECT_TRUE(box.endsWith(u"Please correct the file."_s)) << box.toStdString();

    // A settings file read again without a LANGUAGE line is English.
    app.st.Language = 0;
    ReadSettingsBytes(app, "DIALNO      123 \r\n");
    EXPECT_EQ(Tr(app, "Select mode"), u"Select mode"_s);
}

TEST_F(TranslationTest, AFileThatCannotBeLoadedLeavesTheTextsEnglish)
{
    QTemporaryDir folder;
    QFile broken(folder.filePath(u"celvio_eo.qm"_s));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a translation");
    broken.close();
    app.TranslationFolders << folder.path();
    ReadLanguage(u"ESPERANTO"_s);
    EXPECT_EQ(app.TextTranslation.Table, nullptr);
    EXPECT_EQ(Tr(app, "Select mode"), u"Select mode"_s);
    // A broken German file in a folder ahead of the built-in one is passed over.
    QFile germanBroken(folder.filePath(u"celvio_de.qm"_s));
    ASSERT_TRUE(germanBroken.open(QIODevice::WriteOnly));
    germanBroken.write("");
    germanBroken.close();
    app.TranslationFolders = {folder.path(), u":/translations"_s};
    ReadLanguage(u"DEUTSCH"_s);
    EXPECT_EQ(Tr(app, "Select mode"), u"Wähle Mode"_s);
}

}  // namespace
}  // namespace celvio::testing
