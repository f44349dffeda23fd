#include "shell/qt/shown_log.h"

#include "core/app.h"

#include <QTime>

namespace celvio {

namespace {

// One line of the record: the line breaks of a text become " / ", blank lines and
// leading or trailing breaks disappear.
QString OneLine(const QString& text)
{
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    flat.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList parts;
    for (const QString& part : flat.split(QLatin1Char('\n'))) {
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    }
    return parts.join(QLatin1String(" / "));
}

}  // namespace

ShownLog::ShownLog()
{
    const QString path = qEnvironmentVariable("CELVIO_SHOWN_LOG");
    if (path.isEmpty())
        return;
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append))
        qWarning("celvio: cannot write CELVIO_SHOWN_LOG %s", qPrintable(path));
}

void ShownLog::Write(const QString& kind, const QString& text)
{
    if (!file_.isOpen())
        return;
    file_.write((QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz ")) + kind + QLatin1Char(' ') + text)
                    .toUtf8() +
                '\n');
    file_.flush();
}

void ShownLog::Box(const QString& title, const QString& text)
{
    Write(QStringLiteral("box"), title + QStringLiteral(": ") + OneLine(text));
}

void ShownLog::Labels(const App& app)
{
    if (!file_.isOpen())
        return;
    const Form1& f = app.Form1;
    auto note = [this](QString& last, const Label& label, const char* kind) {
        const QString now = label.Visible ? OneLine(label.Caption) : QString();
        if (now != last) {
            last = now;
            Write(QString::fromLatin1(kind), now);
        }
    };
    note(title_, f.Label4, "title");
    note(status_, f.Label3, "status");
    note(info_, f.Label5, "info");
}

}  // namespace celvio
