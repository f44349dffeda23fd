// The default printer: a fixed-pitch font, one text line at a time, page breaks and
// the end of a document. Every call returns 0 or a non-zero error.
#pragma once

#include <QString>

namespace celvio {

class Printer {
public:
    virtual ~Printer() = default;
    virtual int SetFont(const QString& name, int pointSize) = 0;
    virtual int PrintLine(const QString& text) = 0;
    virtual int NewPage() = 0;
    virtual int EndDoc() = 0;
    // A short description of the last error, for traces: the system's reason when a
    // document that was to become a file could not be written.
    virtual QString LastError() const = 0;
    // The file that the last document was to become when it could not be written
    // (a PDF file); empty when the error was not a file's.
    virtual QString FailedFile() const { return QString(); }
};

}  // namespace celvio
