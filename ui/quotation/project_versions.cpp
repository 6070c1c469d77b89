#include "ui/quotation/project_versions.h"

#include "core/print/change_order_sheet.h"
#include "core/quotation/quotation_text.h"
#include "core/text/number_text.h"
#include "ui/common/globals.h"
#include "ui/print/change_order_print.h"
#include "ui/print/print_form.h"
#include "ui/quotation/project_window.h"
#include "ui/quotation/quotation_page.h"

#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>
#include <stdexcept>

namespace lty {

ProjectVersionsBox::ProjectVersionsBox(TFrmProject_Detail& window, QWidget* parent)
    : QGroupBox(QStringLiteral("合同版本"), parent), window_(window) {
    setObjectName(QStringLiteral("VersionsBox"));
    setFixedWidth(545);
    auto* layout = new QVBoxLayout(this);
    VersionList = new QTreeWidget(this);
    VersionList->setObjectName(QStringLiteral("VersionList"));
    VersionList->setAccessibleName(QStringLiteral("合同版本"));
    VersionList->setRootIsDecorated(false);
    VersionList->setHeaderLabels({QStringLiteral("日期"), QStringLiteral("类型"), QStringLiteral("合计(元)")});
    VersionList->setColumnWidth(0, 170);
    VersionList->setColumnWidth(1, 150);
    VersionList->setFixedHeight(110);
    layout->addWidget(VersionList);
    auto* buttons = new QHBoxLayout;
    BtnPreviewVersion = new QPushButton(QStringLiteral("预览(&V)"), this);
    BtnPreviewVersion->setObjectName(QStringLiteral("BtnPreviewVersion"));
    BtnPrintVersion = new QPushButton(QStringLiteral("打印(&P)"), this);
    BtnPrintVersion->setObjectName(QStringLiteral("BtnPrintVersion"));
    BtnNewChangeOrder = new QPushButton(QStringLiteral("新建增减项(&N)"), this);
    BtnNewChangeOrder->setObjectName(QStringLiteral("BtnNewChangeOrder"));
    buttons->addWidget(BtnPreviewVersion);
    buttons->addWidget(BtnPrintVersion);
    buttons->addStretch(1);
    buttons->addWidget(BtnNewChangeOrder);
    layout->addLayout(buttons);
    connect(BtnPreviewVersion, &QPushButton::clicked, this, &ProjectVersionsBox::PreviewClick);
    connect(BtnPrintVersion, &QPushButton::clicked, this, &ProjectVersionsBox::PrintClick);
    connect(BtnNewChangeOrder, &QPushButton::clicked, this, &ProjectVersionsBox::NewChangeOrder);
    connect(VersionList, &QTreeWidget::itemActivated, this, &ProjectVersionsBox::PreviewClick);
    // The signed version stays what the customer signed: the box cannot be
    // cleared once it is kept (only a click can clear it; loading sets it).
    connect(window_.CheckBox1, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked || !Signed()) return;
        window_.CheckBox1->setChecked(true);
        Messages().Show(kCannotUnsign);
    });
    ShowList();
}

void ProjectVersionsBox::Load(std::int32_t projectId) {
    projectId_ = projectId;
    versions_ = DM && projectId > 0 ? DM->LoadProjectVersions(projectId) : std::vector<TDM::ProjectVersion>{};
    changeOrder_ = false;
    keptText_ = QuotationToText(window_.Grid());
    // Kept as signed by an earlier save: the box says so whatever the row holds.
    if (Signed()) window_.CheckBox1->setChecked(true);
    ShowList();
    ApplyLock();
}

void ProjectVersionsBox::ShowList() {
    VersionList->clear();
    for (const TDM::ProjectVersion& v : versions_) {
        auto* item = new QTreeWidgetItem(VersionList, {QString::fromStdString(v.DateCreated),
                                                       QString::fromStdString(VersionCaption(v.Version)),
                                                       QString::fromStdString(FormatTwoDecimals(v.Total))});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, v.Version);
    }
    if (changeOrder_)
        new QTreeWidgetItem(VersionList, {QStringLiteral("（编辑中）"),
                                          QString::fromStdString(VersionCaption(versions_.back().Version + 1)), {}});
    if (VersionList->topLevelItemCount() > 0)
        VersionList->setCurrentItem(VersionList->topLevelItem(VersionList->topLevelItemCount() - 1));
    BtnPreviewVersion->setEnabled(Signed());
    BtnPrintVersion->setEnabled(Signed());
    BtnNewChangeOrder->setEnabled(Signed() && !changeOrder_);
}

void ProjectVersionsBox::ApplyLock() {
    QuotationPage* page = window_.Page();
    if (!page) return;
    if (!Signed()) {
        page->SetLinesLocked(false, {});
        return;
    }
    const std::string next = VersionCaption(versions_.back().Version + 1);
    page->SetLinesLocked(!changeOrder_, changeOrder_ ? QString::fromStdString(next) +
                                                           QStringLiteral("：修改明细后保存，即生成增减项目单")
                                                     : QString());
}

void ProjectVersionsBox::NewChangeOrder() {
    if (!Signed() || changeOrder_) return;
    changeOrder_ = true;
    ShowList();
    ApplyLock();
    // Straight to the lines.
    window_.PageControl1->setCurrentWidget(window_.TabSheet2);
}

std::function<bool(std::int32_t)> ProjectVersionsBox::VersionToStore() {
    if (!DM) return {};
    int number = -1;
    if (!Signed() && window_.CheckBox1->isChecked())
        number = 0;
    else if (changeOrder_ && QuotationToText(window_.Grid()) != keptText_)
        number = versions_.back().Version + 1;
    if (number < 0) return {};

    VersionSnapshot snapshot;
    snapshot.Project = window_.PrintSource();
    snapshot.Printed = PrintedQuotationOf(*DM, snapshot.Project);
    snapshot.Project.Grid = nullptr;
    snapshot.QuotationText = QuotationToText(window_.Grid());
    TDM::ProjectVersion version;
    version.Version = number;
    version.DateCreated = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-M-d H:mm")).toStdString();
    double sum = 0;
    version.Total = TryStrToFloat(snapshot.Printed.Totals.Sum, sum) ? sum : 0;
    version.Snapshot = VersionSnapshotText(snapshot);
    return [version](std::int32_t projectId) mutable {
        version.ProjectIntID = projectId;
        return DM && DM->InsertProjectVersion(version);
    };
}

void ProjectVersionsBox::Stored(std::int32_t projectId) { Load(projectId); }

int ProjectVersionsBox::SelectedVersion() const {
    const QTreeWidgetItem* item = VersionList->currentItem();
    if (!item || item->data(0, Qt::UserRole).isNull()) return -1; // none, or the one being edited
    return item->data(0, Qt::UserRole).toInt();
}

void ProjectVersionsBox::PreviewClick() {
    const int version = SelectedVersion();
    if (version >= 0) PreviewProjectVersion(&window_, projectId_, version);
}

void ProjectVersionsBox::PrintClick() {
    const int version = SelectedVersion();
    if (version >= 0) PrintProjectVersion(&window_, projectId_, version);
}

} // namespace lty
