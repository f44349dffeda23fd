// Reading the TAC tables and the model database: lines that end at LF, spaces
// stripped, KEY=value,value lines and the numbers at the start of a text.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace celvio {

// Reads a file line by line through a large buffer. A line ends at LF; CR characters
// are dropped wherever they stand. A last line without LF is still a line.
class LfLineReader {
public:
    explicit LfLineReader(qsizetype bufferSize = 64 * 1024);

    // Opens `path` for reading (closing any file open before); false when it cannot.
    bool Open(const QString& path);
    void Close();
    bool IsOpen() const { return file_.isOpen(); }

    // The next line as bytes, without its LF and CRs; false at end of file. A read
    // error counts as end of file.
    bool Next(QByteArray& line);

private:
    bool Fill();

    QFile file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qsizetype end_ = 0;
};

// The next line of `file` as Latin-1 text; false at end of file.
bool ReadLfLine(LfLineReader& file, QString& line);

// The text with every space (code 32) removed; tabs stay.
QString StripSpaces(const QString& text);

// The text before the first "=", or empty when there is none.
QString KeyPart(const QString& text);

// The text after the first "=", or when there is none after the first ","; empty
// when neither occurs.
QString ValuePart(const QString& text);

// The values of a key line.
using ValueSlots = std::array<QString, 10>;

// Splits what follows the first "=" (the whole text when there is none) at commas
// into the ten slots; the slots not reached are empty, text beyond the tenth is
// dropped.
ValueSlots SplitValues(const QString& text);

// The number at the start of a line (ReadNumber: blanks skipped, so it is the number
// of the line stripped of its spaces) rounded to a 32-bit integer; nullopt when it
// does not fit 32 bits. 0 when the line does not begin with a number.
std::optional<qint32> LeadingInteger(QStringView text);
std::optional<qint32> LeadingInteger(QByteArrayView latin1);

// The number at the start of `text`; 0 when there is none or it is out of range.
double NumericValue(QStringView text);

}  // namespace celvio
