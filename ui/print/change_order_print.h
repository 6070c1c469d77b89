// The printed change order 增减项目单 and the printouts of a project's kept
// versions: version 0 prints as the quotation it was signed as, a change
// order as its 增减项目单 against the version before it, with the signed
// sum, the change and the new sum.
#pragma once

#include "controls/report/report.h"
#include "controls/report/report_preview.h"
#include "core/print/change_order_sheet.h"

#include <QString>

#include <cstdint>

namespace lty {

// The report of `sheet`, its texts in place, and the rows it runs over
// (one per listed line: Room, Kind, Name, Unit, the old and new figures, Delta).
report::ReportDefinition ChangeOrderReport(const ChangeOrderSheet& sheet);
report::ReportTable ChangeOrderTable(const ChangeOrderSheet& sheet);

// The preview of a change order, with its print and PDF buttons.
class TFrmChangeOrder : public report::ReportPreview {
    Q_OBJECT
public:
    explicit TFrmChangeOrder(QWidget* parent = nullptr);
    void Prepare(const ChangeOrderSheet& sheet, const QString& customer);
    QString DocumentTitle() const { return title_; } // "<客户名称>增减项目单2"
    bool WritePdf(const QString& path) const;

private:
    QString title_;
};

// The change-order preview, made on first use and kept; none before.
TFrmChangeOrder* ChangeOrderPreview();

// The version `number` of the project `projectId`, from what it kept:
// shown in its preview, or sent to the printer the user chooses. False (and
// "准备打印数据失败！" said) when it cannot be read.
bool PreviewProjectVersion(QWidget* parent, std::int32_t projectId, int number);
bool PrintProjectVersion(QWidget* parent, std::int32_t projectId, int number);

} // namespace lty
