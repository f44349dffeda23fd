#include "shell/qt/printed_pages.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

namespace celvio {

PageWriter::PageWriter(QPainter& painter, QPagedPaintDevice& device, int resolution)
    : painter_(painter), device_(device), pageHeight_(device.pageLayout().paintRectPixels(resolution).height())
{
}

void PageWriter::SetFont(const QFont& font)
{
    painter_.setFont(font);
}

bool PageWriter::Line(const QString& text)
{
    const QFontMetricsF metrics(painter_.font(), &device_);
    if (y_ + metrics.height() > pageHeight_ && !NewPage())
        return false;
    painter_.drawText(QPointF(0, y_ + metrics.ascent()), text);
    y_ += metrics.lineSpacing();
    return true;
}

bool PageWriter::NewPage()
{
    if (!device_.newPage())
        return false;
    y_ = 0;
    return true;
}

bool DrawDocument(const PrintedDocument& document, QPagedPaintDevice& device, int resolution)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PageWriter writer(painter, device, resolution);
    bool ok = true;
    for (const PrintedStep& step : document) {
        switch (step.kind) {
        case PrintedStep::Kind::Font: writer.SetFont(step.font); break;
        case PrintedStep::Kind::Line: ok = writer.Line(step.text); break;
        case PrintedStep::Kind::Page: ok = writer.NewPage(); break;
        }
        if (!ok)
            break;
    }
    return painter.end() && ok;
}

}  // namespace celvio
