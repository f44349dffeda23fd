#include "core/files.h"

#include "core/app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    QString text = FromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')) || text.isEmpty())
        lines.removeLast();
    return true;
}

QString FromLatin1(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray ToLatin1(const QString& text)
{
    return text.toLatin1();
}

bool WriteFileAtomic(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool AppendFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

}  // namespace celvio
