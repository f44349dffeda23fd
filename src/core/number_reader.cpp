#include "core/number_reader.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <limits>

namespace celvio {

namespace {

// Walks a text, skipping blanks and tabs wherever they stand.
class Cursor {
public:
    explicit Cursor(QStringView text) : text_(text) {}

    QChar Peek()
    {
        while (pos_ < text_.size() && (text_[pos_] == u' ' || text_[pos_] == u'\t'))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : QChar();
    }
    void Take() { ++pos_; }
    qsizetype Pos() const { return pos_; }
    void Reset(qsizetype pos) { pos_ = pos; }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int DigitValue(QChar c, int radix)
{
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c.unicode() - u'A' + 10;
    return value < radix ? value : -1;
}

double ReadRadix(Cursor& in, int radix, qsizetype& end)
{
    double value = 0;
    for (int digit = DigitValue(in.Peek(), radix); digit >= 0; digit = DigitValue(in.Peek(), radix)) {
        value = value * radix + digit;
        in.Take();
        end = in.Pos();
    }
    return value;
}

// The decimal digits "[-]int.frac" and the exponent, as collected, to a double.
double ComposeNumber(const QByteArray& mantissa, int exponentSign, const QByteArray& exponentDigits)
{
    QByteArray text = mantissa;
    if (!exponentDigits.isEmpty())
        text += (exponentSign < 0 ? "e-" : "e") + exponentDigits;
    double value = 0;
    const auto [ptr, error] = std::from_chars(text.constData(), text.constData() + text.size(), value);
    Q_UNUSED(ptr);
    if (error != std::errc::result_out_of_range)
        return value;
    // Out of range: infinity when the number is huge, zero when it is tiny. Its
    // decimal magnitude is the count of whole digits (or minus the count of leading
    // zeros after the point) plus the exponent.
    const bool negative = mantissa.startsWith('-');
    const QByteArray digits = negative ? mantissa.mid(1) : mantissa;
    const qsizetype point = digits.indexOf('.');
    QByteArray whole = point < 0 ? digits : digits.left(point);
    while (whole.startsWith('0'))
        whole.remove(0, 1);
    qint64 magnitude = whole.size();
    if (magnitude == 0 && point >= 0) {
        const QByteArray fraction = digits.mid(point + 1);
        qsizetype zeros = 0;
        while (zeros < fraction.size() && fraction[zeros] == '0')
            ++zeros;
        magnitude = -qint64(zeros);
    }
    const qint64 exponent =
        exponentDigits.size() > 15 ? std::numeric_limits<qint32>::max() : exponentDigits.toLongLong();
    magnitude += exponentSign < 0 ? -exponent : exponent;
    const double result = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -result : result;
}

}  // namespace

double ReadNumber(QStringView text, qsizetype* consumed)
{
    Cursor in(text);
    qsizetype end = 0;
    double value = 0;

    if (in.Peek() == u'&') {
        in.Take();
        const QChar base = in.Peek().toUpper();
        const int radix = base == u'H' ? 16 : base == u'O' ? 8 : 0;
        if (radix != 0) {
            in.Take();
            value = ReadRadix(in, radix, end);
        }
    } else {
        QByteArray mantissa;
        if (in.Peek() == u'+' || in.Peek() == u'-') {
            if (in.Peek() == u'-')
                mantissa += '-';
            in.Take();
        }
        bool digits = false;
        for (; IsDigit(in.Peek()); in.Take()) {
            mantissa += char(in.Peek().unicode());
            digits = true;
            end = in.Pos() + 1;
        }
        if (in.Peek() == u'.') {
            mantissa += '.';
            in.Take();
            if (digits)
                end = in.Pos();
            for (; IsDigit(in.Peek()); in.Take()) {
                mantissa += char(in.Peek().unicode());
                digits = true;
                end = in.Pos() + 1;
            }
        }
        if (digits) {
            int exponentSign = 1;
            QByteArray exponentDigits;
            const QChar mark = in.Peek().toUpper();
            if (mark == u'E' || mark == u'D') {
                in.Take();
                if (in.Peek() == u'+' || in.Peek() == u'-') {
                    exponentSign = in.Peek() == u'-' ? -1 : 1;
                    in.Take();
                }
                for (; IsDigit(in.Peek()); in.Take()) {
                    exponentDigits += char(in.Peek().unicode());
                    end = in.Pos() + 1;
                }
            }
            value = ComposeNumber(mantissa, exponentSign, exponentDigits);
        }
    }
    if (consumed)
        *consumed = end;
    return value;
}

double RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

namespace {

template <typename T>
bool RoundTo(double value, T& out)
{
    if (!std::isfinite(value))
        return false;
    const double rounded = RoundHalfEven(value);
    if (rounded < double(std::numeric_limits<T>::min()) || rounded > double(std::numeric_limits<T>::max()))
        return false;
    out = T(rounded);
    return true;
}

}  // namespace

bool RoundToByte(double value, quint8& out)
{
    return RoundTo(value, out);
}

bool RoundToInt16(double value, qint16& out)
{
    return RoundTo(value, out);
}

bool RoundToInt32(double value, qint32& out)
{
    return RoundTo(value, out);
}

}  // namespace celvio
