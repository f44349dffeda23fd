#include "core/files.h"

#include "core/app.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace celvio {

QString ResolvePath(const QString& dir, const QString& name)
{
    QString path = dir;
    const QStringList parts = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QString found = part;
        if (part != QLatin1String(".") && part != QLatin1String("..")
            && !QFileInfo::exists(path + QLatin1Char('/') + part)) {
            const QStringList entries =
                QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
            }
        }
        path += QLatin1Char('/') + found;
    }
    return path;
}

QString StationPath(const App& app, const QString& name)
{
    return ResolvePath(app.StationDir, name);
}

bool FileExists(const App& app, const QString& name)
{
    if (name.isEmpty())
        return false;
    const QFileInfo info(StationPath(app, name));
    return info.exists() && info.isFile();
}

bool ReadFileBytes(const QString& path, QByteArray& out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    out = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool ReadTextLines(const QString& path, QStringList& lines)
{
    lines.clear();
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    lines = SplitTextLines(bytes);
    return true;
}

QStringList SplitTextLines(const QByteArray& bytes)
{
    QString text = FromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')) || text.isEmpty())
        lines.removeLast();
    return lines;
}

QString FromLatin1(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray ToLatin1(const QString& text)
{
    return text.toLatin1();
}

QString NonLatin1Character(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF)
            continue;
        char32_t code = c.unicode();
        QString shown(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            shown += text.at(i + 1);
        } else if (c.isSurrogate()) {
            shown.clear();  // half a character: only its code can be shown
        }
        const QString number = QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
        return shown.isEmpty() ? number : QLatin1Char('"') + shown + QStringLiteral("\" (") + number + QLatin1Char(')');
    }
    return QString();
}

namespace {

// The station files that the program rewrites through WriteFileAtomic.
const char* const kRewrittenFiles[] = {"BADCHAN.DAT", "CPLCONN.INI", "swap.dat"};

bool IsTemporarySuffix(const QString& suffix)
{
    if (suffix.size() != 6)
        return false;
    bool lower = false, upper = false, digit = false;
    for (const QChar c : suffix) {
        if (c >= u'a' && c <= u'z')
            lower = true;
        else if (c >= u'A' && c <= u'Z')
            upper = true;
        else if (c >= u'0' && c <= u'9')
            digit = true;
        else
            return false;
    }
    // Random letters and digits; a plain word in one case is the operator's.
    return digit || (lower && upper);
}

}  // namespace

void ReportFileNotWritten(App& app, const QString& name, const QString& path, const QString& reason)
{
    TraceLine(app, QStringLiteral("File ") + name + QStringLiteral(" could not be written: ") + path +
                       QStringLiteral(" (") + reason + QLatin1Char(')'));
    const QString text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "File %1 not accessible !")).arg(name);
    app.ui.MsgBox(text + kCrLf + QDir::toNativeSeparators(path) + kCrLf + reason, msgbox::kOkOnly | msgbox::kCritical,
                  QString());
}

int RemoveStaleTemporaryFiles(App& app)
{
    QDir dir(app.StationDir);
    int removed = 0;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        for (const char* name : kRewrittenFiles) {
            const qsizetype length = qsizetype(qstrlen(name));
            if (entry.size() != length + 7 || entry.at(length) != u'.' ||
                !entry.startsWith(QLatin1String(name), Qt::CaseInsensitive) || !IsTemporarySuffix(entry.mid(length + 1)))
                continue;
            if (dir.remove(entry)) {
                ++removed;
                TraceLine(app, QStringLiteral("Unfinished temporary file removed: ") + entry);
            }
        }
    }
    // The day's swap record files are rewritten in the record folder the same way.
    const QString logFolder = QStringLiteral("RESULTS/LOG");
    QDir log(StationPath(app, logFolder));
    for (const QString& entry : log.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString record = entry.left(entry.size() - 7);
        if (entry.size() < 12 || entry.at(entry.size() - 7) != u'.' || !IsTemporarySuffix(entry.right(6)) ||
            !(record.endsWith(QLatin1String(".IWR"), Qt::CaseInsensitive) ||
              record.endsWith(QLatin1String(".IME"), Qt::CaseInsensitive)))
            continue;
        if (log.remove(entry)) {
            ++removed;
            TraceLine(app, QStringLiteral("Unfinished temporary file removed: ") + logFolder + QLatin1Char('/') + entry);
        }
    }
    // A document printed to a PDF file that was cut off goes to PRINTS/ the same way.
    const QString printsFolder = QStringLiteral("PRINTS");
    QDir prints(StationPath(app, printsFolder));
    for (const QString& entry : prints.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (entry.size() < 12 || entry.at(entry.size() - 7) != u'.' || !IsTemporarySuffix(entry.right(6)) ||
            !entry.left(entry.size() - 7).endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            continue;
        if (prints.remove(entry)) {
            ++removed;
            TraceLine(app,
                      QStringLiteral("Unfinished temporary file removed: ") + printsFolder + QLatin1Char('/') + entry);
        }
    }
    return removed;
}

}  // namespace celvio
