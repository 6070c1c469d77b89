#include "controls/report/report_paint.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace lty::report {

void PaintPage(QPainter& painter, const Page& page, double k) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont* current = nullptr;
    auto rect = [k](const QRectF& r) { return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k); };
    for (const Primitive& p : page.Items) {
        switch (p.Type) {
        case Primitive::Kind::Rect: {
            const QRectF r = rect(p.Rect);
            if (p.Fill.isValid()) painter.fillRect(r, p.Fill);
            if (p.Stroke) {
                painter.setPen(QPen(Qt::black, p.PenMm * k));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
            }
            break;
        }
        case Primitive::Kind::Line:
            painter.setPen(QPen(Qt::black, p.PenMm * k));
            painter.drawLine(QLineF(p.Line.p1() * k, p.Line.p2() * k));
            break;
        case Primitive::Kind::Text:
            if (!current || *current != p.Font) {
                painter.setFont(p.Font);
                current = &p.Font;
            }
            painter.setPen(Qt::black);
            painter.drawText(rect(p.Rect), static_cast<int>(p.Align) | Qt::TextSingleLine | Qt::TextDontClip, p.Text);
            break;
        }
    }
    painter.restore();
}

bool PaintReport(const LaidOutReport& report, QPagedPaintDevice& device) {
    const QPageSize size(report.PaperMm, QPageSize::Millimeter);
    const auto orientation =
        report.PaperMm.width() > report.PaperMm.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    device.setPageLayout(QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // The painter's origin is the printable area's corner; move it back to the paper's.
    const QRectF paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double k = device.logicalDpiX() / 25.4;
    for (std::size_t i = 0; i < report.Pages.size(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        painter.save();
        painter.translate(-paint.topLeft());
        PaintPage(painter, report.Pages[i], k);
        painter.restore();
    }
    return painter.end();
}

QImage RenderPage(const LaidOutReport& report, int page, double k) {
    const QSize size(static_cast<int>(report.PaperMm.width() * k + 0.5),
                     static_cast<int>(report.PaperMm.height() * k + 0.5));
    QImage image(size, QImage::Format_RGB32);
    const int dpm = static_cast<int>(k * 1000 + 0.5);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    if (page >= 0 && page < static_cast<int>(report.Pages.size())) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        PaintPage(painter, report.Pages[static_cast<std::size_t>(page)], k);
    }
    return image;
}

} // namespace lty::report
