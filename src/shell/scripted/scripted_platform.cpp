#include "shell/scripted/scripted_platform.h"

#include "cycle/main.h"

namespace celvio {

namespace {

// Calls that process events without time passing, in a row, before a wait counts as
// spinning (a polling loop that forgot to block).
constexpr qint64 kSpinLimit = 5'000'000;
// The virtual time that one blocking turn of a wait takes.
constexpr std::chrono::milliseconds kVirtualTurn{10};

bool ValidSettings(const QString& settings)
{
    const QStringList parts = settings.split(QLatin1Char(','));
    bool ok = false;
    return parts.size() == 4 && parts[0].toInt(&ok) > 0 && ok;
}

}  // namespace

// ---- serial port -------------------------------------------------------------------

int ScriptedSerialPort::SetCommPort(int number)
{
    if (open_)
        return comm_error::kOperationNotValidWhileOpen;
    if (number < 1 || number > 16)
        return comm_error::kInvalidPortNumber;
    port_ = number;
    return 0;
}

int ScriptedSerialPort::SetSettings(const QString& settings)
{
    if (!ValidSettings(settings))
        return comm_error::kDefaultParametersInError;
    settings_ = settings;
    return 0;
}

int ScriptedSerialPort::SetHandshaking(bool xonXoff)
{
    xonXoff_ = xonXoff;
    return 0;
}

int ScriptedSerialPort::Open()
{
    if (open_)
        return comm_error::kPortAlreadyOpen;
    openProblem_.clear();
    const auto it = devices.find(port_);
    if (it == devices.end() || !it->second)
        return comm_error::kInvalidPortNumber;
    if (it->second->HeldByOtherProgram())
        return comm_error::kHardwareNotAvailable;
    if (it->second->ForbiddenToAccount()) {
        openProblem_ = QStringLiteral("No permission to open %1: add the operator to the group dialout")
                           .arg(DevicePath(port_));
        return comm_error::kHardwareNotAvailable;
    }
    open_ = it->second;
    ++openCount;
    return 0;
}

int ScriptedSerialPort::Close()
{
    if (!open_)
        return comm_error::kPortNotOpen;
    open_.reset();
    return 0;
}

int ScriptedSerialPort::InBufferCount()
{
    return open_ ? int(open_->BytesAvailable()) : 0;
}

QByteArray ScriptedSerialPort::Input()
{
    return open_ ? open_->ReadAll() : QByteArray();
}

int ScriptedSerialPort::Output(const QByteArray& data)
{
    if (!open_)
        return comm_error::kPortNotOpen;
    open_->Write(data);
    return 0;
}

void ScriptedSerialPort::ClearInput()
{
    if (open_)
        open_->ReadAll();
}

void ScriptedSerialPort::Lose()
{
    if (open_) {
        open_.reset();
        lostError_ = comm_error::kReadError;
    }
}

// ---- printer -----------------------------------------------------------------------

int CapturingPrinter::SetFont(const QString& name, int pointSize)
{
    if (failing)
        return 1;
    current_.font = name;
    current_.fontSize = pointSize;
    return 0;
}

int CapturingPrinter::PrintLine(const QString& text)
{
    if (failing)
        return 1;
    if (!open_) {
        open_ = true;
        current_.pages = {QStringList()};
    }
    current_.pages.last().append(text);
    return 0;
}

int CapturingPrinter::NewPage()
{
    if (failing)
        return 1;
    if (!open_) {
        open_ = true;
        current_.pages = {QStringList()};
    }
    current_.pages.append(QStringList());
    return 0;
}

int CapturingPrinter::EndDoc()
{
    if (failing)
        return 1;
    if (open_)
        documents.append(current_);
    open_ = false;
    current_.pages.clear();
    return 0;
}

// ---- platform and operator -----------------------------------------------------------

ScriptedPlatform::ScriptedPlatform(QDateTime start) : start_(std::move(start)) {}

void ScriptedPlatform::Advance(qint64 ms)
{
    spins_ = 0;
    ms_ += std::max<qint64>(ms, 0);
    if (ms_ > watchdogMs)
        throw ScriptStuck{QStringLiteral("virtual time ran past the watchdog; ") + Describe()};
}

void ScriptedPlatform::Press(const QString& caption, qint64 afterMs)
{
    Step step;
    step.what = QStringLiteral("press ") + caption;
    step.delayMs = afterMs;
    step.ready = [caption](App& app) {
        for (int n = 1; n <= 5; ++n) {
            const CommandButton& b = app.Form1.Command(n);
            if (b.Visible && b.Enabled && b.Caption == caption)
                return true;
        }
        return false;
    };
    step.run = [caption](App& app) {
        Flag* flags[] = {nullptr, &app.st.Command1Pressed, &app.st.Command2Pressed, &app.st.Command3Pressed,
                         &app.st.Command4Pressed, &app.st.Command5Pressed};
        for (int n = 1; n <= 5; ++n) {
            const CommandButton& b = app.Form1.Command(n);
            if (b.Visible && b.Enabled && b.Caption == caption) {
                *flags[n] = kTrue;
                return;
            }
        }
    };
    steps_.append(step);
}

void ScriptedPlatform::Do(UiAction action, std::function<bool(const App&)> when)
{
    Step step;
    step.what = QStringLiteral("window action %1").arg(int(action));
    step.ready = [when](App& app) { return !when || when(app); };
    step.run = [action](App& app) { app.PendingActions.push_back(action); };
    steps_.append(step);
}

void ScriptedPlatform::Type(int field, const QString& text)
{
    Step step;
    step.what = QStringLiteral("type into Text%1").arg(field);
    step.ready = [field](App& app) { return app.Form1.Text(field).Visible; };
    step.run = [field, text](App& app) { app.Form1.Text(field).Text = text; };
    steps_.append(step);
}

void ScriptedPlatform::Await(std::function<bool(const App&)> when, const QString& what)
{
    Step step;
    step.what = QStringLiteral("await ") + what;
    step.ready = [when](App& app) { return when(app); };
    step.run = [](App&) {};
    steps_.append(step);
}

void ScriptedPlatform::Answer(const QString& part, int answer, int times)
{
    rules_.append({part, answer, times});
}

QString ScriptedPlatform::Describe() const
{
    if (!app_)
        return QString();
    const Form1& f = app_->Form1;
    QStringList buttons;
    for (int n = 1; n <= 5; ++n) {
        const CommandButton& b = const_cast<Form1&>(f).Command(n);
        if (b.Visible)
            buttons << b.Caption;
    }
    return QStringLiteral("screen: title \"%1\", text \"%2\", buttons [%3]; next step: %4")
        .arg(f.Label4.Caption, f.Label3.Caption, buttons.join(QLatin1String(", ")),
             steps_.isEmpty() ? QStringLiteral("none") : steps_.first().what);
}

void ScriptedPlatform::RunOperator()
{
    if (!app_)
        return;
    const bool hadSteps = !steps_.isEmpty();
    while (!steps_.isEmpty()) {
        Step& step = steps_.first();
        if (!step.ready(*app_)) {
            step.readySince = -1;
            return;
        }
        if (step.readySince < 0)
            step.readySince = ms_;
        if (ms_ - step.readySince < step.delayMs)
            return;
        const Step done = steps_.takeFirst();
        done.run(*app_);
    }
    // Script done: end the run once the program is back at the mode dialog with
    // nothing left to do (the last step's effects have had a turn to happen).
    const Form1& f = app_->Form1;
    if (!hadSteps && app_->PendingActions.empty() && !app_->RunningActions && f.Command2.Visible &&
        f.Command2.Caption == QLatin1String("&Test"))
        throw ScriptFinished{};
}

void ScriptedPlatform::ProcessEvents(std::chrono::milliseconds wait)
{
    if (wait.count() > 0) {
        // Every blocking turn takes the same step of virtual time, whatever its limit:
        // scripted steps and devices are laid out in time, not in events.
        Advance(int(kVirtualTurn.count()));
    } else if (++spins_ > kSpinLimit) {
        throw ScriptStuck{QStringLiteral("events processed in a loop without time passing; ") + Describe()};
    }
    RunOperator();
}

int ScriptedPlatform::MsgBox(const QString& prompt, int style, const QString& title)
{
    BoxRecord record{title, prompt, style, 0};
    for (qsizetype i = 0; i < rules_.size(); ++i) {
        BoxRule& rule = rules_[i];
        if (prompt.contains(rule.part) || title.contains(rule.part)) {
            record.answer = rule.answer;
            if (--rule.times <= 0)
                rules_.removeAt(i);
            break;
        }
    }
    if (record.answer == 0)
        record.answer = (style & 0x7) == msgbox::kYesNo ? msgbox::kNo : msgbox::kOk;
    boxes.append(record);
    return record.answer;
}

void ScriptedPlatform::ShowModal(Form5& form)
{
    form5Lists.append(form.Phones);
    form.Selected = form5Choices.isEmpty() ? -1 : form5Choices.takeFirst();
    if (form.Selected >= form.Phones.size())
        form.Selected = -1;
}

int RunMain(App& app)
{
    try {
        Main(app);
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    } catch (const ScriptFinished&) {
        return -1;
    }
}

}  // namespace celvio
