// Whole cycles of a service point through the real Main, in virtual time, with the
// tester simulator: the operator's steps through the customer screen, a TEST cycle, the
// swap questions and the IMEI entry, and what the cycles leave behind.
#pragma once

#include "core/text.h"
#include "cycle/main.h"
#include "swap_fixture.h"

namespace celvio::testing {

inline const QString kSettings = QStringLiteral("LANGUAGE    ENGLISH\nSWAPFILE    1\n"
    "DIALNO      0123\nSEARCHCOM   0\nSHOWLIMITS  1\nTOSEARCH    60\n") + QLatin1String(kCycleStation);

inline const char* const kPowerStaysBad = "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1,2\n";
inline const char* const kSimPhone = "351234560123457";  // the simulated phone's IMEI
inline const QString kToday = QStringLiteral("20261207");  // the scripted platform's day

class SwapCycleFixture : public SwapFixture {
protected:
    void SetUp() override
    {
        platform.SetDateTime(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
        WriteStationFile(QStringLiteral("CELVIO.INI"), kSettings);
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800,1900\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
        WriteStationFile(QStringLiteral("DEBUGPM.INI"), QString());
        WriteStationBytes(QStringLiteral("swap.dat"), "0,\"AB123\",\"Handy Shop\",\"Markt 1\",\"040 1\",\"Bo\"\r\n");
        app.st = StationState{};
    }

    void Start(const char* scenario = "")
    {
        AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n") +
                               QString::fromLatin1(scenario));
        platform.Press(QStringLiteral("COM&1"));
    }
    // The customer screen of the cycle.
    void Customer(const char* number, const char* comment)
    {
        platform.Await(
            [this](const App& a) {
                if (!a.Form1.Text6.Visible || a.Form1.Label4.Caption != QLatin1String("Zavar Service"))
                    return false;
                customerScreens << a.Form1.Text1.Text + QLatin1Char('|') + a.Form1.Text6.Text;
                return true;
            },
            QStringLiteral("the customer screen"));
        platform.Type(1, QString::fromLatin1(number));
        platform.Type(6, QString::fromLatin1(comment));
        platform.Press(QStringLiteral("&OK"));
    }
    // A TEST cycle of GSM 900 to its verdict, left with "&New test"; the customer's
    // number and fault description are typed when `number` is given (a service point).
    void TestCycle(const char* title, const char* number = "0123456789", const char* fault = "Battery dies")
    {
        platform.Press(QStringLiteral("&Test"));
        if (number)
            Customer(number, fault);
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
        platform.Await(
            [title](const App& a) {
                return a.Form1.Label4.Caption == QLatin1String(title) && a.Form1.Command3.Visible &&
                       a.Form1.Command3.Caption == QLatin1String("&New test");
            },
            QString::fromLatin1(title));
        platform.Press(QStringLiteral("&New test"));
    }
    // Waits for the question with this text, keeps its screen, then presses `button`.
    void Question(const char* text, const char* button)
    {
        platform.Await(
            [this, text](const App& a) {
                if (!a.Form1.Label3.Caption.contains(QLatin1String(text)) || !a.Form1.Command2.Visible)
                    return false;
                questions << a.Form1.Label4.Caption + QLatin1Char('|') + a.Form1.Label3.Caption + QLatin1Char('|') +
                                 a.Form1.Command2.Caption + QLatin1Char('|') +
                                 (a.Form1.Command3.Visible ? a.Form1.Command3.Caption : QString()) + QLatin1Char('|') +
                                 (a.Form1.Text6.Visible ? a.Form1.Text6.Caption : QString());
                return true;
            },
            QString::fromLatin1(text));
        platform.Press(QString::fromLatin1(button));
        platform.Await([text](const App& a) { return !a.Form1.Label3.Caption.contains(QLatin1String(text)); },
                       QStringLiteral("the answer taken"));
    }
    void TypeImei(const char* imei)
    {
        platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("IMEI Number")); },
                       QStringLiteral("the IMEI entry"));
        platform.Type(1, QString::fromLatin1(imei));
        platform.Press(QStringLiteral("&OK"));
    }
    void Finish()
    {
        platform.Await([](const App& a) { return a.Form1.Command2.Visible && a.Form1.Command2.Caption == "&Test"; },
                       QStringLiteral("the mode dialog"));
        try {
            EXPECT_EQ(RunMain(app), -1);
        } catch (const ScriptStuck& stuck) {
            ADD_FAILURE() << qPrintable(stuck.what) << "\n" << qPrintable(Trace().mid(Trace().size() - 15).join('\n'));
        }
        EXPECT_EQ(platform.StepsLeft(), 0);
    }
    QString Log(const QString& name) const { return QString::fromLatin1(ReadStationBytes(QStringLiteral("RESULTS/LOG/") + name)); }
    QString Header(const char* kind) const
    {
        return QLatin1String(kind) + QStringLiteral("\tV1.0\tAB123\t") + kToday +
               QStringLiteral("\r\n# Handy Shop\tMarkt 1\t040 1\tBo\r\n");
    }
    QStringList Buttons() const
    {
        QStringList out;
        for (const QString& line : Trace())
            if (line.contains(QLatin1String("Button = ")))
                out << line.section(QStringLiteral("Button = "), 1);
        return out;
    }
    QStringList questions;
    QStringList customerScreens;  // what each customer screen showed: "number|comment"
};

}  // namespace celvio::testing
