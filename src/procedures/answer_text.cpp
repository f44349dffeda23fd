#include "procedures/answer_text.h"

#include <cmath>

namespace celvio {

QString AnswerLine(const QString& answer)
{
    qsizetype end = 0;
    while (end < answer.size() && answer[end] != QLatin1Char('\r') && answer[end] != QLatin1Char('\n'))
        ++end;
    return answer.left(end);
}

long long RoundHalfUp(double x)
{
    return static_cast<long long>(std::floor(x + 0.5));
}

}  // namespace celvio
