#include "models/text_helpers.h"

#include "core/number_reader.h"

#include <cmath>
#include <cstring>

namespace celvio {

LfLineReader::LfLineReader(qsizetype bufferSize)
{
    buffer_.resize(std::max<qsizetype>(bufferSize, 1));
}

bool LfLineReader::Open(const QString& path)
{
    Close();
    file_.setFileName(path);
    return file_.open(QIODevice::ReadOnly);
}

void LfLineReader::Close()
{
    if (file_.isOpen())
        file_.close();
    pos_ = end_ = 0;
}

bool LfLineReader::Fill()
{
    pos_ = end_ = 0;
    if (!file_.isOpen())
        return false;
    const qint64 got = file_.read(buffer_.data(), buffer_.size());
    if (got <= 0)
        return false;
    end_ = qsizetype(got);
    return true;
}

bool LfLineReader::Next(QByteArray& line)
{
    line.resize(0);  // keeps the capacity for the next line
    bool any = false;  // characters of this line were read (a lone CR line counts)
    for (;;) {
        if (pos_ == end_ && !Fill())
            return any;
        any = true;
        const char* start = buffer_.constData() + pos_;
        const qsizetype available = end_ - pos_;
        const char* lf = static_cast<const char*>(std::memchr(start, '\n', size_t(available)));
        const qsizetype length = lf ? qsizetype(lf - start) : available;
        // Append the piece without its CRs.
        const char* piece = start;
        const char* const pieceEnd = start + length;
        while (piece < pieceEnd) {
            const char* cr = static_cast<const char*>(std::memchr(piece, '\r', size_t(pieceEnd - piece)));
            const char* stop = cr ? cr : pieceEnd;
            line.append(piece, qsizetype(stop - piece));
            piece = cr ? cr + 1 : pieceEnd;
        }
        if (lf) {
            pos_ += length + 1;
            return true;
        }
        pos_ = end_;
    }
}

bool ReadLfLine(LfLineReader& file, QString& line)
{
    QByteArray bytes;
    if (!file.Next(bytes))
        return false;
    line = QString::fromLatin1(bytes);
    return true;
}

QString StripSpaces(const QString& text)
{
    if (!text.contains(QLatin1Char(' ')))
        return text;
    QString stripped = text;
    stripped.remove(QLatin1Char(' '));
    return stripped;
}

QString KeyPart(const QString& text)
{
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : text.left(equals);
}

QString ValuePart(const QString& text)
{
    qsizetype at = text.indexOf(QLatin1Char('='));
    if (at < 0)
        at = text.indexOf(QLatin1Char(','));
    return at < 0 ? QString() : text.mid(at + 1);
}

ValueSlots SplitValues(const QString& text)
{
    ValueSlots values;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    QStringView rest = equals < 0 ? QStringView(text) : QStringView(text).mid(equals + 1);
    for (QString& slot : values) {
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        if (comma < 0) {
            slot = rest.toString();
            break;
        }
        slot = rest.left(comma).toString();
        rest = rest.mid(comma + 1);
    }
    return values;
}

std::optional<qint32> LeadingInteger(QStringView text)
{
    qint32 value = 0;
    if (!RoundToInt32(ReadNumber(text), value))
        return std::nullopt;
    return value;
}

std::optional<qint32> LeadingInteger(QByteArrayView latin1)
{
    // The lines of a TAC table nearly all begin with a short whole number followed by
    // "," or "=": read those here, without making a text of the line. Anything else
    // (a decimal point, an exponent, "&H", ten digits or more) goes to ReadNumber.
    const qsizetype size = latin1.size();
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < size && (latin1[i] == ' ' || latin1[i] == '\t'))
            ++i;
    };
    const auto isDigit = [&](qsizetype k) { return k < size && latin1[k] >= '0' && latin1[k] <= '9'; };
    skipBlanks();
    bool negative = false;
    if (i < size && (latin1[i] == '+' || latin1[i] == '-')) {
        negative = latin1[i] == '-';
        ++i;
        skipBlanks();
    }
    qint32 value = 0;
    int digits = 0;
    for (; isDigit(i) && digits < 9; ++i, skipBlanks(), ++digits)
        value = value * 10 + (latin1[i] - '0');
    const char next = i < size ? latin1[i] : '\0';
    const bool ends = !isDigit(i) && next != '.' && next != 'E' && next != 'e' && next != 'D' && next != 'd';
    if (digits > 0 && ends)
        return negative ? -value : value;
    if (digits == 0 && next != '.' && next != '&')
        return 0;
    return LeadingInteger(QString::fromLatin1(latin1));
}

double NumericValue(QStringView text)
{
    const double value = ReadNumber(text);
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace celvio
