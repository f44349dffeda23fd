#include "training/training_station.h"

#include "core/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace celvio {

namespace {

bool SameName(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// A file of the training station under `name` matched without regard to case, or the
// name itself when there is none yet.
QString ExistingName(const QDir& dir, const QString& name)
{
    for (const QString& entry : dir.entryList(QDir::Files | QDir::System | QDir::Hidden))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return name;
}

bool CopyInputs(const QDir& real, const QDir& training, QString& problem)
{
    const QFileInfoList entries = real.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isFile() || !IsTrainingInput(entry.fileName()))
            continue;
        QByteArray bytes;
        if (!ReadFileBytes(entry.filePath(), bytes)) {
            problem = entry.filePath() + QStringLiteral(" (it cannot be read)");
            return false;
        }
        const QString target = training.filePath(ExistingName(training, entry.fileName()));
        QString reason;
        if (!WriteFileAtomic(target, bytes, &reason)) {
            problem = target + QStringLiteral(" (") + reason + QLatin1Char(')');
            return false;
        }
    }
    return true;
}

}  // namespace

QString TrainingStationDirectory(const QString& realStation, const QString& environment)
{
    if (!environment.isEmpty())
        return QFileInfo(environment).absoluteFilePath();
    return QDir(realStation).filePath(QStringLiteral("TRAINING"));
}

bool IsTrainingInput(const QString& fileName)
{
    if (SameName(fileName, "HEADOFFICE.INI") || SameName(fileName, "PORTS.INI"))
        return false;
    const QString suffix = QFileInfo(fileName).suffix().toUpper();
    static const QStringList kInputs = {QStringLiteral("INI"), QStringLiteral("DAT"), QStringLiteral("BMP"),
                                        QStringLiteral("JPG"), QStringLiteral("PNG"), QStringLiteral("GIF")};
    return kInputs.contains(suffix);
}

bool PrepareTrainingStation(const QString& realStation, const QString& trainingStation, QString& problem)
{
    const QString real = QFileInfo(realStation).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isDir()) {
        problem = realStation + QStringLiteral(" (the station directory does not exist)");
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(trainingStation.toStdU16String()), error);
    if (error) {
        problem = trainingStation + QStringLiteral(" (") + QString::fromLocal8Bit(error.message()) + QLatin1Char(')');
        return false;
    }
    const QString training = QFileInfo(trainingStation).canonicalFilePath();
    if (training == real) {
        problem = trainingStation + QStringLiteral(" (the training station cannot be the station itself)");
        return false;
    }
    const QDir trainingDir(training);
    if (!CopyInputs(QDir(real), trainingDir, problem))
        return false;
    // Training never pushes to a head office: the push needs this file in the station.
    const QString headOffice = trainingDir.filePath(ExistingName(trainingDir, QStringLiteral("HEADOFFICE.INI")));
    if (QFileInfo::exists(headOffice) && !QFile::remove(headOffice)) {
        problem = headOffice + QStringLiteral(" (it cannot be removed)");
        return false;
    }
    // The trace is always on in training: DEBUG.LOG is kept for the trainer.
    const QString trace = trainingDir.filePath(ExistingName(trainingDir, QStringLiteral("DEBUGPM.INI")));
    QString reason;
    if (!QFileInfo::exists(trace) && !WriteFileAtomic(trace, QByteArray(), &reason)) {
        problem = trace + QStringLiteral(" (") + reason + QLatin1Char(')');
        return false;
    }
    return true;
}

}  // namespace celvio
