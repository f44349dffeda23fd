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

double RoundHalfUp(double x)
{
    return std::floor(x + 0.5);
}

}  // namespace celvio
