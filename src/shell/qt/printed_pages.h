// A printed document kept as the steps that drew it (fonts, lines, page breaks), so
// that it can be drawn again: in the print preview, or on a printer the operator
// chooses. The drawing itself (lines one below the other, a new page when the next
// line does not fit) is the same for the first print and every later one.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace celvio {

struct PrintedStep {
    enum class Kind { Font, Line, Page };
    Kind kind = Kind::Line;
    QString text;  // a line's text
    QFont font;    // a font's, as it was resolved for the document
};
using PrintedDocument = std::vector<PrintedStep>;

// Lines one below the other on the pages of an open painter; a line that does not fit
// starts a new page.
class PageWriter {
public:
    PageWriter(QPainter& painter, QPagedPaintDevice& device, int resolution);
    void SetFont(const QFont& font);
    // False when a new page could not be started.
    bool Line(const QString& text);
    bool NewPage();

private:
    QPainter& painter_;
    QPagedPaintDevice& device_;
    double pageHeight_ = 0;
    double y_ = 0;
};

// Draws the whole document on `device` (a QPrinter, a QPdfWriter) with a painter of
// its own; false when the device could not be started or a page could not be begun.
bool DrawDocument(const PrintedDocument& document, QPagedPaintDevice& device, int resolution);

}  // namespace celvio
