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
    // A short description of the last error, for traces.
    virtual QString LastError() const = 0;
};

}  // namespace celvio
