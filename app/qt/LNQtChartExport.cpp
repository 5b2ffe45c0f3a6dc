#include "LNQtChartExport.h"

#include "LNQtChartView.h"
#include "LNSvgWriter.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace kinloom {

namespace {

bool writeSvg(const LNChartLayout& chart, const QString& path) {
    const std::string svg = LNSvgWriter::chart(chart);
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(svg.data(), static_cast<qint64>(svg.size())) == static_cast<qint64>(svg.size());
}

bool writePdf(const LNChartLayout& chart, const QString& path) {
    QPdfWriter pdf(path);
    if (!pdf.setPageSize(QPageSize(QSizeF(chart.width(), chart.height()), QPageSize::Point))) return false;
    pdf.setPageMargins(QMarginsF());
    // A chart unit is a point.
    pdf.setResolution(72);
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    paintChart(painter, chart, QRectF(0, 0, chart.width(), chart.height()));
    return painter.end();
}

bool writePng(const LNChartLayout& chart, const QString& path) {
    // Twice the size for sharp text, within what an image can hold.
    const double scale = std::min(2.0, 16000 / std::max(chart.width(), chart.height()));
    QImage image(static_cast<int>(chart.width() * scale), static_cast<int>(chart.height() * scale),
                 QImage::Format_RGB32);
    if (image.isNull()) return false;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintChart(painter, chart, QRectF(0, 0, chart.width(), chart.height()));
    painter.end();
    return image.save(path, "PNG");
}

} // namespace

bool exportChart(const LNChartLayout& chart, const QString& path) {
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".svg"))) return writeSvg(chart, path);
    if (lower.endsWith(QLatin1String(".pdf"))) return writePdf(chart, path);
    if (lower.endsWith(QLatin1String(".png"))) return writePng(chart, path);
    return false;
}

} // namespace kinloom
