#include "core/training_mark.h"

#include "core/app.h"
#include "core/files.h"

namespace celvio {

QByteArray WithTrainingMark(const App& app, const QByteArray& bytes)
{
    if (app.TrainingMark.isEmpty())
        return bytes;
    return ToLatin1(app.TrainingMark) + QByteArrayLiteral("\r\n") + bytes;
}

QByteArray WithoutTrainingMark(const QByteArray& bytes)
{
    static const QByteArray line = QByteArray(kTrainingMark) + QByteArrayLiteral("\r\n");
    return bytes.startsWith(line) ? bytes.mid(line.size()) : bytes;
}

}  // namespace celvio
