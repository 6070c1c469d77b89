#include "controls/report/report_preview.h"

#include "controls/report/report_paint.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lty::report {
namespace {
constexpr double kScreenDotsPerMm = 96 / 25.4;
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;
} // namespace

ReportPreview::ReportPreview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = bar_ = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(bar);

    auto action = [&](const char* name, const char* text, const QKeySequence& key = {}) {
        QAction* a = bar->addAction(QString::fromUtf8(text));
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) a->setShortcut(key);
        return a;
    };
    ActPrint = action("ActPrint", "打印", QKeySequence::Print);
    ActPdf = action("ActPdf", "导出PDF", QKeySequence(Qt::CTRL | Qt::Key_E));
    bar->addSeparator();
    ActFirst = action("ActFirst", "首页", QKeySequence(Qt::Key_Home));
    ActPrior = action("ActPrior", "上一页", QKeySequence(Qt::Key_PageUp));
    ActNext = action("ActNext", "下一页", QKeySequence(Qt::Key_PageDown));
    ActLast = action("ActLast", "末页", QKeySequence(Qt::Key_End));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("PageLabel"));
    pageLabel_->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(pageLabel_);
    bar->addSeparator();
    ActZoomOut = action("ActZoomOut", "缩小", QKeySequence::ZoomOut);
    ActZoomIn = action("ActZoomIn", "放大", QKeySequence::ZoomIn);
    ActFitWidth = action("ActFitWidth", "页宽");
    zoomLabel_ = new QLabel(this);
    zoomLabel_->setObjectName(QStringLiteral("ZoomLabel"));
    zoomLabel_->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(zoomLabel_);
    bar->addSeparator();
    ActClose = action("ActClose", "关闭");

    view_ = new QLabel;
    view_->setObjectName(QStringLiteral("PageView"));
    view_->setAccessibleName(QStringLiteral("预览页面"));
    view_->setAlignment(Qt::AlignCenter);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(view_);
    scroll_->setWidgetResizable(true);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    layout->addWidget(scroll_, 1);

    connect(ActPrint, &QAction::triggered, this, &ReportPreview::PrintRequested);
    connect(ActPdf, &QAction::triggered, this, &ReportPreview::PdfRequested);
    connect(ActFirst, &QAction::triggered, this, [this] { ShowPage(0); });
    connect(ActPrior, &QAction::triggered, this, [this] { ShowPage(page_ - 1); });
    connect(ActNext, &QAction::triggered, this, [this] { ShowPage(page_ + 1); });
    connect(ActLast, &QAction::triggered, this, [this] { ShowPage(PageCount() - 1); });
    connect(ActZoomIn, &QAction::triggered, this, [this] { SetZoom(zoom_ * 1.25); });
    connect(ActZoomOut, &QAction::triggered, this, [this] { SetZoom(zoom_ / 1.25); });
    connect(ActFitWidth, &QAction::triggered, this, [this] {
        const double paper = report_.PaperMm.width() * kScreenDotsPerMm;
        if (paper > 0) SetZoom((scroll_->viewport()->width() - 24) / paper);
    });
    connect(ActClose, &QAction::triggered, this, &QDialog::close);
    // A full page is taller than most office screens: the window never starts
    // larger than the screen it opens on, or its lower edge and its scroll bar
    // would lie out of reach.
    QSize size(900, 1000);
    if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size() * 0.9);
    resize(size);
    UpdateState();
}

void ReportPreview::SetReport(LaidOutReport report) {
    report_ = std::move(report);
    page_ = 0;
    Render();
}

void ReportPreview::ShowPage(int index) {
    index = std::clamp(index, 0, std::max(0, PageCount() - 1));
    if (index == page_ && !image_.isNull()) return;
    page_ = index;
    Render();
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportPreview::SetZoom(double zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (std::abs(zoom - zoom_) < 1e-9 && !image_.isNull()) return;
    zoom_ = zoom;
    Render();
}

void ReportPreview::Render() {
    // Painted at the screen's own pixel density, so the page stays sharp.
    const double ratio = devicePixelRatioF();
    image_ = RenderPage(report_, page_, kScreenDotsPerMm * zoom_ * ratio);
    image_.setDevicePixelRatio(ratio);
    view_->setPixmap(QPixmap::fromImage(image_));
    UpdateState();
}

void ReportPreview::UpdateState() {
    const int count = PageCount();
    pageLabel_->setText(QStringLiteral("第 %1 页 共 %2 页").arg(count ? page_ + 1 : 0).arg(count));
    zoomLabel_->setText(QStringLiteral("%1%").arg(std::lround(zoom_ * 100)));
    ActFirst->setEnabled(page_ > 0);
    ActPrior->setEnabled(page_ > 0);
    ActNext->setEnabled(page_ + 1 < count);
    ActLast->setEnabled(page_ + 1 < count);
    ActZoomIn->setEnabled(zoom_ < kMaxZoom - 1e-9);
    ActZoomOut->setEnabled(zoom_ > kMinZoom + 1e-9);
}

} // namespace lty::report
