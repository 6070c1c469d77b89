// The report form TFrmPrint: the quotation report, its query on the print
// rows, and the preview window "打印预览" that shows it. Created by the first
// print, preview or export and kept for the rest of the run.
#pragma once

#include "controls/report/report.h"
#include "controls/report/report_preview.h"
#include "core/db/engine.h"
#include "core/print/print_sheet.h"
#include "core/print/print_source.h"
#include "core/print/print_totals.h"
#include "core/print/version_snapshot.h"

#include <QString>

#include <memory>

class QComboBox;
class QPagedPaintDevice;

namespace lty {

class TDM;

inline constexpr const char* kNoProjectToPrint = "请选择要打印的工程！";
inline constexpr const char* kPrepareFailed = "准备打印数据失败！";
inline constexpr const char* kPdfWriteFailed = "导出PDF失败，请检查文件是否被占用或目录是否可写！";
inline constexpr const char* kPrintFailed = "打印失败，请检查打印机！";

// The heading of the active window's quotation, dated today, for any way
// out of the program.
PrintHeading CurrentPrintHeading(TDM& dm, PrintVersion version, const QuotationPrintSource& source);

// Everything the customer's printout of `source` shows, as it would print now:
// what a signed version keeps.
PrintedQuotation PrintedQuotationOf(TDM& dm, const QuotationPrintSource& source);

class TFrmPrint : public report::ReportPreview {
    Q_OBJECT
public:
    explicit TFrmPrint(TDM& dm, QWidget* parent = nullptr);
    ~TFrmPrint() override;

    // Refills TMP_Print from the window's grid in one transaction and sets
    // the heading, totals and remark from the window as it stands, then lays
    // the chosen version out. On any failure shows "准备打印数据失败！", keeps
    // the print rows as they were and answers false: the caller then prints
    // nothing.
    bool PreparePrintData(const QuotationPrintSource& source);
    // The same for a kept version: exactly what it printed then.
    bool PrepareVersion(const PrintedQuotation& printed, const QString& customer);
    bool Prepared() const { return prepared_; }

    // The customer's quotation or the crew's work sheet. A change lays the
    // prepared quotation out again (from the page on view, as far as the new
    // version reaches) and is remembered for the next run.
    PrintVersion Version() const { return version_; }
    void SetVersion(PrintVersion version);
    const PrintHeading& Heading() const { return heading_; }
    QComboBox* VersionBox; // on the preview's tool bar

    // The pages of the last preparation (the preview holds them).
    const report::LaidOutReport& Pages() const { return Report(); }
    TDM& DataModule() const { return dm_; }

    // Paint the prepared pages. WritePdf titles the document after the customer.
    bool PrintTo(QPagedPaintDevice& device) const;
    bool WritePdf(const QString& path) const;
    QString DocumentTitle() const; // "<客户名称>报价单"
    QString Customer() const { return customer_; }

    // Shows the prepared pages in the preview, from the first page.
    void ShowPreview();

    report::ReportDefinition QuickRep1;
    TADOQuery adoprint;

private:
    // adoprint's rows as the report engine reads them, with how each prints.
    report::ReportTable PrintTable();
    // QuickRep1 for the version, its labels filled, laid out into the preview.
    void LayOutVersion();

    TDM& dm_;
    bool prepared_ = false;
    PrintVersion version_;
    QString customer_;
    report::ReportTable table_;
    PrintHeading heading_;
    PrintTotals totals_;
    QString remark_;
};

} // namespace lty
