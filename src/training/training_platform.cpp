#include "training/training_platform.h"

#include "core/app.h"
#include "training/training_session.h"

namespace celvio {

int MarkingPrinter::PrintLine(const QString& text)
{
    // A page that begins with the marking already (a stored result file) gets it once.
    if (pageTop_ && text != mark_) {
        if (const int error = inner_.PrintLine(mark_))
            return error;
    }
    pageTop_ = false;
    return inner_.PrintLine(text);
}

int MarkingPrinter::NewPage()
{
    pageTop_ = true;
    return inner_.NewPage();
}

int MarkingPrinter::EndDoc()
{
    pageTop_ = true;
    return inner_.EndDoc();
}

TrainingPlatform::TrainingPlatform(Platform& inner, TrainingSession& session, QString mark)
    : inner_(inner), session_(session), mark_(std::move(mark))
{
}

void TrainingPlatform::ProcessEvents(std::chrono::milliseconds wait)
{
    if (wait != kUntilEvent) {
        inner_.ProcessEvents(wait);
        return;
    }
    // A wait without a limit is a wait for the trainee: a button, a key, a menu.
    QString step = QStringLiteral("Main window");
    if (app_ && !app_->Form1.Label4.Caption.trimmed().isEmpty())
        step = app_->Form1.Label4.Caption.trimmed();
    const qint64 start = inner_.MonotonicMs();
    inner_.ProcessEvents(wait);
    session_.Waited(step, inner_.MonotonicMs() - start);
}

int TrainingPlatform::MsgBox(const QString& prompt, int style, const QString& title)
{
    const qint64 start = inner_.MonotonicMs();
    const int answer = inner_.MsgBox(prompt, style, title);
    const QString first = prompt.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
    session_.Waited(QStringLiteral("Message: ") + first, inner_.MonotonicMs() - start);
    return answer;
}

void TrainingPlatform::ShowModal(Form5& form)
{
    const qint64 start = inner_.MonotonicMs();
    inner_.ShowModal(form);
    session_.Waited(QStringLiteral("Unknown phone dialog"), inner_.MonotonicMs() - start);
}

Printer& TrainingPlatform::DefaultPrinter()
{
    Printer& inner = inner_.DefaultPrinter();
    if (markedFor_ != &inner) {
        printer_ = std::make_unique<MarkingPrinter>(inner, mark_);
        markedFor_ = &inner;
    }
    return *printer_;
}

}  // namespace celvio
