// A preview of laid-out pages: one page at a time at the chosen zoom, with
// page navigation and buttons that hand printing and PDF export back to
// whoever owns the report. Only the page on view is ever painted.
#pragma once

#include "controls/report/report.h"

#include <QDialog>

class QAction;
class QLabel;
class QScrollArea;
class QToolBar;

namespace lty::report {

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(QWidget* parent = nullptr);

    void SetReport(LaidOutReport report);
    const LaidOutReport& Report() const { return report_; }

    int PageIndex() const { return page_; }
    int PageCount() const { return static_cast<int>(report_.Pages.size()); }
    double Zoom() const { return zoom_; }
    void ShowPage(int index);
    void SetZoom(double zoom); // 1 is the paper's own size on a 96 dpi screen
    QImage CurrentImage() const { return image_; }
    // The bar of the buttons, for an owner that adds its own.
    QToolBar* ToolBar() const { return bar_; }

    QAction* ActPrint;
    QAction* ActPdf;
    QAction* ActFirst;
    QAction* ActPrior;
    QAction* ActNext;
    QAction* ActLast;
    QAction* ActZoomIn;
    QAction* ActZoomOut;
    QAction* ActFitWidth;
    QAction* ActClose;

signals:
    void PrintRequested();
    void PdfRequested();

private:
    void Render();
    void UpdateState();

    LaidOutReport report_;
    int page_ = 0;
    double zoom_ = 1.0;
    QImage image_;
    QLabel* pageLabel_;
    QLabel* zoomLabel_;
    QLabel* view_;
    QScrollArea* scroll_;
    QToolBar* bar_;
};

} // namespace lty::report
