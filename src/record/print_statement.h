// One line of text built the way a print statement lays it out: items one after the
// other, tab stops at fixed columns (moving to the same column of the next line when
// the text is already past it), print zones of 14 columns, and numbers with a blank
// in place of the plus sign and a blank after them. Result files and printed reports
// keep this layout because shops read and compare these files.
#pragma once

#include <QString>
#include <QStringList>

namespace celvio {

class PrintStatement {
public:
    // Appends text.
    PrintStatement& Text(const QString& text);
    // Moves to `column` (counted from 1): pads with blanks, or continues on a new line
    // at that column when the current line is already past it.
    PrintStatement& Tab(int column);
    // Moves to the start of the next print zone (columns 1, 15, 29, ...).
    PrintStatement& Zone();
    // Appends a number as a print statement shows it: " 30 ", "-60 ".
    PrintStatement& Number(qint64 value);
    // The text with its line breaks as "\r\n"; no line end at its end.
    QString Result() const { return lines_.join(QStringLiteral("\r\n")); }
    // The lines (more than one when a tab stop broke the line).
    const QStringList& Lines() const { return lines_; }

private:
    QStringList lines_{QString()};
};

// Splits a free text into the lines of 50 characters that files and reports use: at
// most four lines (the first 200 characters); nothing for an empty text.
QStringList TextPieces(const QString& text);

}  // namespace celvio
