#include "fuzz_support.h"

#include "shell/scripted/scripted_platform.h"

#include <cstdio>
#include <cstdlib>

namespace celvio::fuzz {

namespace {

ScriptedSerialPort& Port()
{
    static ScriptedSerialPort port;
    return port;
}

CapturingPrinter& PaperPrinter()
{
    static CapturingPrinter printer;
    return printer;
}

}  // namespace

int QuietPlatform::MsgBox(const QString& prompt, int style, const QString&)
{
    boxes.append(prompt);
    return (style & 0x7) == msgbox::kYesNo ? msgbox::kNo : msgbox::kOk;
}

void QuietPlatform::ShowModal(Form5& form)
{
    form5List = form.Phones;
    form.Selected = form5Choice < form.Phones.size() ? form5Choice : -1;
}

QDateTime QuietPlatform::Now()
{
    return QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0));
}

SerialPort& QuietPlatform::Comm1()
{
    return Port();
}

Printer& QuietPlatform::DefaultPrinter()
{
    return PaperPrinter();
}

QuietPlatform& Quiet()
{
    static QuietPlatform platform;
    return platform;
}

App& FuzzApp()
{
    static App app(Quiet(), QStringLiteral("/nonexistent/celvio-fuzz-station"));
    return app;
}

App& FreshApp()
{
    App& app = FuzzApp();
    app.st = StationState{};
    app.Model = ModelRecord{};
    app.Form1 = celvio::Form1{};
    app.Form3 = ResultPage{};
    app.Form4 = ResultPage{};
    app.TacFileName = QStringLiteral("TAC6N.DAT");
    app.ModelDbFileName = QStringLiteral("MPN.DAT");
    Quiet().boxes.clear();
    Quiet().form5Choice = -1;
    Quiet().form5List.clear();
    return app;
}

void Check(bool ok, const char* what, const QString& detail)
{
    if (ok)
        return;
    std::fprintf(stderr, "\nFUZZ CHECK FAILED: %s\n  %s\n", what, detail.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

QString Text(const uint8_t* data, size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
}

QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace celvio::fuzz
