// The service point and customer data: every check of the entry screen, "swap.dat"
// written and read back, and the entry asked for again when the file is gone.
#include "swap/service_data.h"
#include "swap_fixture.h"

namespace celvio::testing {
namespace {

class ServiceDataTest : public SwapFixture {
protected:
    void TypeIdentity(const char* id, const char* company, const char* address, const char* phone, const char* name)
    {
        platform.Type(1, QString::fromUtf8(id));
        platform.Type(2, QString::fromUtf8(company));
        platform.Type(3, QString::fromUtf8(address));
        platform.Type(4, QString::fromUtf8(phone));
        platform.Type(5, QString::fromUtf8(name));
        platform.Press(QStringLiteral("&OK"));
    }
    // Lets the program answer the last "&OK" with its `count`th message box.
    void AwaitBox(int count)
    {
        platform.Await([this, count](const App&) { return platform.boxes.size() >= count; },
                       QStringLiteral("message box %1").arg(count));
    }
};

const QString kIdFormat = QStringLiteral("Service Point ID must look like AB123 (old format) \ror 123_123456 (new format).");
const QString kFillOut = QStringLiteral("Please fill out each field.");

TEST_F(ServiceDataTest, ServicePointIdentityChecks)
{
    const struct {
        const char* id;
        const char* phone;
        QString message;  // empty: accepted
    } cases[] = {
        {"AB123", "040 1", QString()},
        {"123_123456", "040 1", QString()},
        {"ZZ000", "040 1", QString()},
        {"ab123", "040 1", kIdFormat},
        {"A1234", "040 1", kIdFormat},
        {"AB12", "040 1", kIdFormat},
        {"AB1234", "040 1", kIdFormat},
        {"123-123456", "040 1", kIdFormat},
        {"1231234567", "040 1", kIdFormat},
        {"12_1234567", "040 1", kIdFormat},
        {"ÄB123", "040 1", kIdFormat},
        {"", "040 1", kIdFormat},
        {"AB123", "", kFillOut},
        {"ab123", "", kFillOut},  // an empty field is named first
        {"AB123", "040 \"1\"", QStringLiteral("Please do not use double quotes (\") in the fields.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        SCOPED_TRACE(c.phone);
        EXPECT_EQ(ServicePointEntryProblem(ServicePointEntry{QString::fromUtf8(c.id), QStringLiteral("Shop"),
                                                             QStringLiteral("Street"), QString::fromUtf8(c.phone),
                                                             QStringLiteral("Ann")}),
                  c.message);
    }
    const struct {
        const char* number;
        bool valid;
    } numbers[] = {{"", true},           {"*", true},          {"0123456789", true}, {"012345678", false},
                   {"01234567890", false}, {"01234A6789", false}, {"**", false},       {" 123456789", false}};
    for (const auto& n : numbers)
        EXPECT_EQ(ValidClubZavarNumber(QString::fromLatin1(n.number)), n.valid) << n.number;
}

// The screen stays until the entry is sound; the file keeps a comma inside a field.
TEST_F(ServiceDataTest, StartWithoutSwapDatAsksAndWritesIt)
{
    StationState& st = app.st;
    st.ServicePointId.clear();
    st.ClubZavarNumber = QStringLiteral("0123456789");
    TypeIdentity("ab123", "Meier, Sohn", "Markt 2", "040 22", "Bo");
    AwaitBox(1);
    TypeIdentity("AB123", "Meier, Sohn", "Markt 2", "", "Bo");
    AwaitBox(2);
    bool sawScreen = false;
    platform.Await(
        [&sawScreen](const App& a) {
            sawScreen = a.Form1.Label4.Caption == QLatin1String("Zavar Service") && a.Form1.Text1.Visible &&
                        a.Form1.Text5.Visible && !a.Form1.Text6.Visible &&
                        a.Form1.Label3.Caption == QLatin1String("Please enter the\r\nClub Zavar Service Point ID \r\n"
                                                                "and all other fields.\r\n\r\nEach field must be filled out.");
            return true;
        },
        QStringLiteral("the screen"));
    TypeIdentity("AB123", "Meier, Sohn", "Markt 2", "040 22", "Bo");
    LoadServiceData(app);
    EXPECT_TRUE(sawScreen);
    EXPECT_EQ(platform.StepsLeft(), 0);
    ASSERT_EQ(platform.boxes.size(), 2);
    EXPECT_EQ(platform.boxes[0].text, kIdFormat);
    EXPECT_EQ(platform.boxes[1].text, kFillOut);
    EXPECT_EQ(ReadStationBytes(QStringLiteral("swap.dat")),
              QByteArray("0,\"AB123\",\"Meier, Sohn\",\"Markt 2\",\"040 22\",\"Bo\"\r\n"));
    EXPECT_TRUE(st.ClubZavarNumber.isEmpty());
    EXPECT_FALSE(app.Form1.Text1.Visible);
    EXPECT_FALSE(app.Form1.Command2.Visible);

    // The next start reads it back without asking.
    st.ServicePointId.clear();
    st.Company.clear();
    LoadServiceData(app);
    EXPECT_EQ(st.ServicePointId, QStringLiteral("AB123"));
    EXPECT_EQ(st.Company, QStringLiteral("Meier, Sohn"));
    EXPECT_EQ(st.TestedBy, QStringLiteral("Bo"));
    EXPECT_EQ(platform.boxes.size(), 2);

    // Deleted, damaged or incomplete: asked for again, with what could be read shown.
    const QByteArray damaged[] = {QByteArray(), "0,\"AB123\",\"Meier\"\r\n", "0,\"AB123\",\"Meier\",\"\",\"040\",\"Bo\"\r\n",
                                  "0,\"AB123,\"Meier\",\"Markt\",\"040\",\"Bo\r\n"};
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.constData());
        if (bytes.isEmpty())
            QFile::remove(StationFile(QStringLiteral("swap.dat")));
        else
            WriteStationBytes(QStringLiteral("swap.dat"), bytes);
        TypeIdentity("123_123456", "Nord", "Weg 1", "040 9", "Cy");
        LoadServiceData(app);
        EXPECT_EQ(platform.StepsLeft(), 0);
        EXPECT_EQ(ReadStationBytes(QStringLiteral("swap.dat")),
                  QByteArray("0,\"123_123456\",\"Nord\",\"Weg 1\",\"040 9\",\"Cy\"\r\n"));
    }
    // A file of an older version, written with blanks around its fields, reads.
    WriteStationBytes(QStringLiteral("swap.dat"), "0 , \"AB999\" ,\"A\",\"B\",\"C\",\"D\"\r\n");
    LoadServiceData(app);
    EXPECT_EQ(st.ServicePointId, QStringLiteral("AB999"));
    EXPECT_EQ(st.TestedBy, QStringLiteral("D"));
}

TEST_F(ServiceDataTest, CustomerDataOfTestAndSwapCycles)
{
    StationState& st = app.st;
    st.ClubZavarNumber = QStringLiteral("9999999999");  // from the cycle before: cleared
    QString shownNumber = QStringLiteral("?");
    QString commentLabel;
    platform.Await(
        [&](const App& a) {
            shownNumber = a.Form1.Text1.Text;
            commentLabel = a.Form1.Text6.Caption;
            return a.Form1.Text6.Visible;
        },
        QStringLiteral("the customer screen"));
    int count = 0;
    for (const char* bad : {"012345678", "01234A6789"}) {
        platform.Type(1, QString::fromLatin1(bad));
        platform.Press(QStringLiteral("&OK"));
        AwaitBox(++count);
    }
    platform.Type(1, QStringLiteral("0123456789"));
    platform.Type(6, QStringLiteral("Display flickers"));
    platform.Press(QStringLiteral("&OK"));
    AskTestCustomerData(app);
    EXPECT_EQ(shownNumber, QString());
    EXPECT_EQ(commentLabel, QStringLiteral("Customer fault description"));
    EXPECT_EQ(st.ClubZavarNumber, QStringLiteral("0123456789"));
    EXPECT_EQ(st.FaultDescription, QStringLiteral("Display flickers"));
    ASSERT_EQ(platform.boxes.size(), 2);
    for (const BoxRecord& box : platform.boxes)
        EXPECT_EQ(box.text, QStringLiteral("Club Zavar Number must be 10 digits numerical, empty string or '*'"));

    platform.Await(
        [&](const App& a) {
            commentLabel = a.Form1.Text6.Caption;
            return a.Form1.Text6.Visible;
        },
        QStringLiteral("the customer screen"));
    platform.Type(1, QStringLiteral("*"));
    platform.Type(6, QStringLiteral("Customer wants the same colour"));
    platform.Press(QStringLiteral("&OK"));
    AskSwapCustomerData(app);
    EXPECT_EQ(commentLabel, QStringLiteral("Swap comment"));
    EXPECT_EQ(st.ClubZavarNumber, QStringLiteral("*"));
    EXPECT_EQ(st.SwapComment, QStringLiteral("Customer wants the same colour"));
    EXPECT_EQ(st.FaultDescription, QStringLiteral("Display flickers"));
    EXPECT_EQ(platform.boxes.size(), 2);
    EXPECT_FALSE(app.Form1.Text6.Visible);
}

// Every typed text that goes into a Latin-1 file refuses a character that the file
// cannot hold, naming it and its field; Latin-1 letters (ü, ß, é) pass.
TEST_F(ServiceDataTest, CharactersOutsideLatin1AreRefusedAndNamed)
{
    const auto refusal = [](const char* character, const char* field) {
        return QStringLiteral("Please do not use the character ") + QString::fromUtf8(character) + QStringLiteral(" in ") +
               QLatin1String(field) + QStringLiteral(": the station's files cannot hold it.");
    };
    const struct {
        const char* field;  // the entry's box
        QString ServicePointEntry::*member;
        const char* text;
        QString message;
    } cases[] = {
        {"Tested by", &ServicePointEntry::TestedBy, "Łukasz Müller €", refusal("\"Ł\" (U+0141)", "Tested by")},
        {"Company", &ServicePointEntry::Company, "Café Straße", QString()},
        {"Company", &ServicePointEntry::Company, "Shop €", refusal("\"€\" (U+20AC)", "Company")},
        // Beyond U+FFFF: named whole, not as two halves.
        {"Address", &ServicePointEntry::Address, "Markt 1 😀", refusal("\"😀\" (U+1F600)", "Address")},
        // Invisible: its code tells which it is.
        {"Phone", &ServicePointEntry::Phone, "040\u200b1", refusal("\"\u200b\" (U+200B)", "Phone")},
        {"Service Point ID", &ServicePointEntry::ServicePointId, "AB12３", refusal("\"３\" (U+FF13)", "Service Point ID")},
        // A pasted tab or line end would split a record's fields or lines.
        {"Tested by", &ServicePointEntry::TestedBy, "Ann\tBo", refusal("U+0009", "Tested by")},
        {"Address", &ServicePointEntry::Address, "Markt 1\r\nKiel", refusal("U+000D", "Address")},
        {"Company", &ServicePointEntry::Company, "Shop\x7f", refusal("U+007F", "Company")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        ServicePointEntry entry{QStringLiteral("AB123"), QStringLiteral("Shop"), QStringLiteral("Street"),
                                QStringLiteral("040 1"), QStringLiteral("Ann")};
        entry.*c.member = text;
        EXPECT_EQ(ServicePointEntryProblem(entry), c.message);
        EXPECT_EQ(Latin1EntryProblem(QLatin1String(c.field), text), c.message);
    }
    // Half a character (a lone surrogate) is named by its code alone.
    EXPECT_EQ(Latin1EntryProblem(QStringLiteral("Phone"), QString(QChar(0xD83D))),
              QStringLiteral("Please do not use the character U+D83D in Phone: the station's files cannot hold it."));

    // On the screens: the identity is kept only once it can be written as typed, and
    // swap.dat then holds what the report prints.
    TypeIdentity("AB123", "Łukasz Müller €", "Markt 2", "040 22", "Bo");
    AwaitBox(1);
    TypeIdentity("AB123", "Lukasz Müller", "Markt 2", "040 22", "Bo");
    EnterServicePointData(app);
    EXPECT_EQ(ReadStationBytes(QStringLiteral("swap.dat")), QByteArray("0,\"AB123\",\"Lukasz M\xfcller\",\"Markt 2\",\"040 22\",\"Bo\"\r\n"));
    // The customer screen: the number first, then the comment under its own label.
    platform.Type(1, QString::fromUtf8("01234５6789"));
    platform.Type(6, QStringLiteral("Display flickers \u2013 badly"));
    platform.Press(QStringLiteral("&OK"));
    AwaitBox(2);
    platform.Type(1, QStringLiteral("0123456789"));
    platform.Press(QStringLiteral("&OK"));
    AwaitBox(3);
    platform.Type(6, QStringLiteral("Display flickers - badly"));
    platform.Press(QStringLiteral("&OK"));
    AskTestCustomerData(app);
    EXPECT_EQ(app.st.ClubZavarNumber, QStringLiteral("0123456789"));
    EXPECT_EQ(app.st.FaultDescription, QStringLiteral("Display flickers - badly"));
    QStringList texts;
    for (const BoxRecord& box : platform.boxes)
        texts << box.text;
    EXPECT_EQ(texts, (QStringList{refusal("\"Ł\" (U+0141)", "Company"), refusal("\"５\" (U+FF15)", "Club Zavar number"),
                                  refusal("\"–\" (U+2013)", "Customer fault description")}));
    EXPECT_EQ(Trace().filter(QStringLiteral("Service data refused: Please do not use the character")).size(), 3);
}

}  // namespace
}  // namespace celvio::testing
