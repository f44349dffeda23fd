#include "swap/service_data.h"

#include "core/app.h"
#include "core/events.h"
#include "core/files.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"

namespace celvio {

namespace {

const QString kServiceFile = QStringLiteral("swap.dat");
constexpr int kFirstEntryField = 11;  // focus on Text1

bool Between(QChar c, char low, char high)
{
    return c.unicode() >= uchar(low) && c.unicode() <= uchar(high);
}

bool AllDigits(const QString& text)
{
    for (const QChar c : text) {
        if (!Between(c, '0', '9'))
            return false;
    }
    return true;
}

// The fields of a line written with quoted-field rules: quoted texts are taken up to
// their closing quote (commas inside them included), other fields are trimmed.
QStringList QuotedFields(const QString& line)
{
    QStringList fields;
    int i = 0;
    const int n = int(line.size());
    for (;;) {
        while (i < n && line[i] == QLatin1Char(' '))
            ++i;
        QString field;
        if (i < n && line[i] == QLatin1Char('"')) {
            const int close = int(line.indexOf(QLatin1Char('"'), i + 1));
            if (close < 0)
                return fields;  // an open quote: the field is unreadable
            field = line.mid(i + 1, close - i - 1);
            i = close + 1;
            while (i < n && line[i] != QLatin1Char(','))
                ++i;
        } else {
            const int comma = int(line.indexOf(QLatin1Char(','), i));
            const int end = comma < 0 ? n : comma;
            field = line.mid(i, end - i).trimmed();
            i = end;
        }
        fields << field;
        if (i >= n)
            return fields;
        ++i;  // the comma
    }
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

TextBox& EntryBox(App& app, int n)
{
    return app.Form1.Text(n);
}

void ShowBox(TextBox& box, const QString& caption, const QString& text, int maxLength)
{
    box.Caption = caption;
    box.Text = text;
    box.MaxLength = maxLength;
    box.Enabled = true;
    box.Visible = true;
}

// Waits for "&OK" (true) or STOP (false).
bool WaitForOk(App& app)
{
    StationState& st = app.st;
    while (st.Command2Pressed != kTrue && st.StopRequested != kTrue)
        WaitEvents(app);
    const bool ok = st.Command2Pressed == kTrue;
    st.Command2Pressed = kFalse;
    return ok;
}

void Refuse(App& app, const QString& message, int focus = kFirstEntryField)
{
    TraceLine(app, QStringLiteral("Service data refused: ") + QString(message).replace(QLatin1Char('\r'), QLatin1Char(' ')));
    app.ui.MsgBox(message, msgbox::kOkOnly | msgbox::kExclamation, QString());
    app.Form1.SetFocus(focus);
}

const QString kClubNumberFormat = QStringLiteral("Club Zavar Number must be 10 digits numerical, empty string or '*'");

}  // namespace

// The identity as the station holds it (a stopped entry may leave it incomplete).
static ServicePointEntry CurrentEntry(const App& app)
{
    const StationState& st = app.st;
    return ServicePointEntry{st.ServicePointId, st.Company, st.Address, st.Phone, st.TestedBy};
}

bool ValidServicePointId(const QString& id)
{
    if (id.size() == 5)
        return Between(id[0], 'A', 'Z') && Between(id[1], 'A', 'Z') && AllDigits(id.mid(2));
    if (id.size() == 10)
        return AllDigits(id.left(3)) && id[3] == QLatin1Char('_') && AllDigits(id.mid(4));
    return false;
}

bool ValidClubZavarNumber(const QString& number)
{
    return number.isEmpty() || number == QStringLiteral("*") || (number.size() == 10 && AllDigits(number));
}

namespace {

// A control character (a tab, a line end pasted into a one-line box): the record files
// separate their fields with tabs and their records with line ends, so one inside a
// field would cut it. Named by its code, as it has no face.
QString ControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            return QStringLiteral("U+%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0')).toUpper();
    }
    return QString();
}

}  // namespace

QString Latin1EntryProblem(const QString& field, const QString& text)
{
    QString character = NonLatin1Character(text);
    if (character.isEmpty())
        character = ControlCharacter(text);
    if (character.isEmpty())
        return QString();
    return QStringLiteral("Please do not use the character ") + character + QStringLiteral(" in ") + field +
           QStringLiteral(": the station's files cannot hold it.");
}

QString ServicePointEntryProblem(const ServicePointEntry& entry)
{
    const QString texts[] = {entry.Company, entry.Address, entry.Phone, entry.TestedBy};
    for (const QString& text : texts) {
        if (text.isEmpty())
            return QStringLiteral("Please fill out each field.");
    }
    // swap.dat and the record headers are Latin-1: a character they cannot hold would
    // come back as "?" while the printed report shows it.
    const std::pair<const char*, const QString*> fields[] = {
        {"Service Point ID", &entry.ServicePointId}, {"Company", &entry.Company}, {"Address", &entry.Address},
        {"Phone", &entry.Phone}, {"Tested by", &entry.TestedBy}};
    for (const auto& [field, text] : fields) {
        const QString problem = Latin1EntryProblem(QLatin1String(field), *text);
        if (!problem.isEmpty())
            return problem;
    }
    if (!ValidServicePointId(entry.ServicePointId))
        return QStringLiteral("Service Point ID must look like AB123 (old format) \ror 123_123456 (new format).");
    // "swap.dat" quotes every field and has no way to write a quote inside one.
    for (const QString& text : texts) {
        if (text.contains(QLatin1Char('"')))
            return QStringLiteral("Please do not use double quotes (\") in the fields.");
    }
    return QString();
}

// The service point identity boxes until "&OK" with an entry that can be stored, or STOP.
static void EnterIdentity(App& app)
{
    StationState& st = app.st;
    SetHelpTopic(app, HelpTopic::ServicePointId);
    app.Form1.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please enter the\n"
                                                                   "Club Zavar Service Point ID \n"
                                                                   "and all other fields.\n"
                                                                   "\n"
                                                                   "Each field must be filled out."))
                                   .replace(QLatin1Char('\n'), kCrLf);
    ShowBox(EntryBox(app, 1), QStringLiteral("Service Point ID"), st.ServicePointId, 0);
    ShowBox(EntryBox(app, 2), QStringLiteral("Company"), st.Company, 60);
    ShowBox(EntryBox(app, 3), QStringLiteral("Address"), st.Address, 80);
    ShowBox(EntryBox(app, 4), QStringLiteral("Phone"), st.Phone, 30);
    ShowBox(EntryBox(app, 5), QStringLiteral("Tested by"), st.TestedBy, 40);
    app.Form1.SetFocus(kFirstEntryField);
    while (WaitForOk(app)) {
        const ServicePointEntry entry{EntryBox(app, 1).Text, EntryBox(app, 2).Text, EntryBox(app, 3).Text,
                                      EntryBox(app, 4).Text, EntryBox(app, 5).Text};
        const QString problem = ServicePointEntryProblem(entry);
        if (problem.isEmpty()) {
            st.ServicePointId = entry.ServicePointId;
            st.Company = entry.Company;
            st.Address = entry.Address;
            st.Phone = entry.Phone;
            st.TestedBy = entry.TestedBy;
            TraceLine(app, QStringLiteral("Service Point ID = ") + st.ServicePointId);
            return;
        }
        Refuse(app, problem);
    }
}

// The customer's number and the comment box until "&OK" with texts that can be
// stored, or STOP. The comment stays in its box for the caller.
static void EnterCustomer(App& app)
{
    StationState& st = app.st;
    app.Form1.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please enter the Club Zavar number:")) +
                               kCrLf;
    ShowBox(EntryBox(app, 1), QStringLiteral("Club Zavar number"), st.ClubZavarNumber, 10);
    TextBox& comment = EntryBox(app, 6);
    comment.Text.clear();
    comment.MaxLength = kCommentLength;
    comment.Enabled = true;
    comment.Visible = true;
    app.Form1.SetFocus(kFirstEntryField);
    while (WaitForOk(app)) {
        const QString number = EntryBox(app, 1).Text;
        QString problem = Latin1EntryProblem(QStringLiteral("Club Zavar number"), number);
        if (problem.isEmpty() && !ValidClubZavarNumber(number))
            problem = kClubNumberFormat;
        if (!problem.isEmpty()) {
            Refuse(app, problem);
            continue;
        }
        // The description or comment goes into the result file, a Latin-1 file.
        problem = Latin1EntryProblem(comment.Caption.isEmpty() ? QStringLiteral("the comment") : comment.Caption,
                                     comment.Text);
        if (!problem.isEmpty()) {
            Refuse(app, problem, kCommentField);
            continue;
        }
        st.ClubZavarNumber = number;
        TraceLine(app, QStringLiteral("Club Zavar number = ") + number);
        return;
    }
}

void EnterServiceData(App& app, ServiceEntry kind)
{
    Form1& f = app.Form1;
    f.Label4.Caption = QStringLiteral("Zavar Service");
    f.Label4.Visible = true;
    ShowPicture(app, QStringLiteral("Service.BMP"));
    for (int n = 1; n <= 6; ++n)
        EntryBox(app, n).Visible = false;
    for (int n : {1, 3, 4, 5}) {
        f.Command(n).Visible = false;
        f.Command(n).TabStop = false;
    }
    CommandButton& ok = f.Command2;
    ok.Caption = QStringLiteral("&OK");
    ok.Visible = true;
    ok.Enabled = true;
    ok.TabStop = true;
    app.st.Command2Pressed = kFalse;

    if (kind == ServiceEntry::ServicePoint)
        EnterIdentity(app);
    else
        EnterCustomer(app);

    for (int n = 1; n <= 5; ++n) {
        EntryBox(app, n).Visible = false;
        EntryBox(app, n).Caption.clear();
    }
    EntryBox(app, 6).Visible = false;
    ok.Visible = false;
    ok.TabStop = false;
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
}

QString ServiceFileLine(const App& app)
{
    const StationState& st = app.st;
    return QStringLiteral("0,") + Quoted(st.ServicePointId) + QLatin1Char(',') + Quoted(st.Company) + QLatin1Char(',') +
           Quoted(st.Address) + QLatin1Char(',') + Quoted(st.Phone) + QLatin1Char(',') + Quoted(st.TestedBy);
}

bool ReadServiceFile(App& app)
{
    QByteArray bytes;
    if (!ReadFileBytes(StationPath(app, kServiceFile), bytes))
        return false;
    return ReadServiceBytes(app, bytes);
}

bool ReadServiceBytes(App& app, const QByteArray& bytes)
{
    StationState& st = app.st;
    const QStringList lines = SplitTextLines(bytes);
    if (lines.isEmpty())
        return false;
    const QStringList fields = QuotedFields(lines.first());
    if (fields.size() < 6) {
        st.ServicePointId.clear();
        return false;
    }
    st.ClubZavarNumber = fields[0];
    st.ServicePointId = fields[1];
    st.Company = fields[2];
    st.Address = fields[3];
    st.Phone = fields[4];
    st.TestedBy = fields[5];
    st.ClubZavarNumber.clear();
    return ServicePointEntryProblem(CurrentEntry(app)).isEmpty();
}

bool WriteServiceFile(App& app)
{
    const QString path = StationPath(app, kServiceFile);
    QString reason;
    if (WriteFileAtomic(path, ToLatin1(ServiceFileLine(app) + kCrLf), &reason, &app.FileSeams.Fault))
        return true;
    TraceLine(app, QStringLiteral("swap.dat not written: ") + reason);
    app.ui.MsgBox(QStringLiteral("The service point data could not be saved to") + kCrLf + path + kCrLf + reason +
                      kCrLf + QStringLiteral("It will be asked for again at the next start."),
                  msgbox::kOkOnly | msgbox::kCritical, QString());
    return false;
}

void LoadServiceData(App& app)
{
    if (!ReadServiceFile(app)) {
        TraceLine(app, QStringLiteral("swap.dat missing or unreadable"));
        EnterServiceData(app, ServiceEntry::ServicePoint);
        if (ServicePointEntryProblem(CurrentEntry(app)).isEmpty())
            WriteServiceFile(app);
    }
    app.st.ClubZavarNumber.clear();
}

void AskTestCustomerData(App& app)
{
    app.st.ClubZavarNumber.clear();
    app.Form1.Text6.Caption = QStringLiteral("Customer fault description");
    EnterServiceData(app, ServiceEntry::Customer);
    app.st.FaultDescription = app.Form1.Text6.Text;
    app.Form1.Text6.Text.clear();  // the customer's text stays in the cycle's state only
    app.Form1.Text6.Caption.clear();
}

void AskSwapCustomerData(App& app)
{
    app.st.ClubZavarNumber.clear();
    app.Form1.Text6.Caption = QStringLiteral("Swap comment");
    EnterServiceData(app, ServiceEntry::Customer);
    app.st.SwapComment = app.Form1.Text6.Text;
    app.Form1.Text6.Text.clear();
    app.Form1.Text6.Caption.clear();
}

void EnterServicePointData(App& app)
{
    EnterServiceData(app, ServiceEntry::ServicePoint);
    if (ServicePointEntryProblem(CurrentEntry(app)).isEmpty())
        WriteServiceFile(app);
}

}  // namespace celvio
