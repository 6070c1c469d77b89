// The printed quotation at the size of a very large job, 2,000 lines: layout,
// PDF, the preview's first page after the command, the Excel workbook, and
// the same lines turned into a PDF by LibreOffice from a spreadsheet, as
// firms do today.
#include "bench/silent_messages.h"
#include "controls/report/report.h"
#include "controls/report/report_pdf.h"
#include "core/data/data_module.h"
#include "core/quotation/quotation_grid.h"
#include "tests/core/print/large_quotation.h"
#include "tests/core/test_database.h"
#include "ui/common/globals.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"
#include "ui/print/quotation_report.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using lty::test::LargeQuotation;

// One program directory, data module and prepared form for the whole run.
struct Fixture {
    lty::bench::SilentMessages messages;
    lty::test::TempProgramDir dir;
    lty::TDM dm{messages, dir.Dir()};
    LargeQuotation quotation;
    QTemporaryDir out;
    Fixture() {
        lty::SetMessages(&messages);
        lty::DM = &dm;
        lty::CompanyInfo().Name = "岚庭雅装饰工程有限公司";
        lty::QuotationRemark = "1. 本报价有效期为三十天。";
        lty::FrmPrint().SetVersion(lty::PrintVersion::Customer); // whatever the user chose last
        if (!lty::FrmPrint().PreparePrintData(quotation.Source)) throw std::runtime_error("prepare");
        // LTY_KEEP_PDF=<folder> keeps both versions of the large quotation to look at,
        // as PDF and as workbook.
        if (const char* keep = std::getenv("LTY_KEEP_PDF")) {
            const QString folder = QString::fromUtf8(keep);
            lty::FrmPrint().WritePdf(folder + QStringLiteral("/large-quotation.pdf"));
            lty::FrmPrint().SetVersion(lty::PrintVersion::Crew);
            lty::FrmPrint().WritePdf(folder + QStringLiteral("/large-crew.pdf"));
            lty::FrmPrint().SetVersion(lty::PrintVersion::Customer);
            for (lty::PrintVersion v : {lty::PrintVersion::Customer, lty::PrintVersion::Crew})
                lty::WriteQuotationWorkbookOf(quotation.Source, v,
                                              folder + (v == lty::PrintVersion::Crew
                                                            ? QStringLiteral("/large-crew.xlsx")
                                                            : QStringLiteral("/large-quotation.xlsx")));
        }
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

lty::report::ReportTable TableOf(const lty::QuotationGrid& grid);

void BM_LayOut2000Lines(benchmark::State& state) {
    Fixture& f = Shared();
    lty::TFrmPrint& form = lty::FrmPrint();
    const lty::report::ReportTable table = TableOf(f.quotation.Grid);
    std::size_t pages = 0;
    for (auto _ : state) {
        auto laid = lty::report::LayOut(form.QuickRep1, table);
        pages = laid.Pages.size();
        benchmark::DoNotOptimize(laid);
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_LayOut2000Lines)->Unit(benchmark::kMillisecond);

void BM_Pdf2000Lines(benchmark::State& state) {
    Fixture& f = Shared();
    const QString path = f.out.filePath(QStringLiteral("ours.pdf"));
    for (auto _ : state)
        if (!lty::FrmPrint().WritePdf(path)) state.SkipWithError("PDF not written");
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_Pdf2000Lines)->Unit(benchmark::kMillisecond);

// The crew's sheet of the same lines: no prices, so fewer boxes per line.
void BM_CrewLayOut2000Lines(benchmark::State& state) {
    Fixture& f = Shared();
    const lty::report::ReportTable table = TableOf(f.quotation.Grid);
    const lty::report::ReportDefinition crew = lty::QuotationReport(lty::PrintVersion::Crew);
    std::size_t pages = 0;
    for (auto _ : state) {
        auto laid = lty::report::LayOut(crew, table);
        pages = laid.Pages.size();
        benchmark::DoNotOptimize(laid);
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_CrewLayOut2000Lines)->Unit(benchmark::kMillisecond);

// From the command to the first page on screen: preparation of TMP_Print in
// one transaction, reading it back, layout, painting the first page.
void BM_PreviewFirstPage2000Lines(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        lty::PreviewQuotation(nullptr, &f.quotation.Source);
        benchmark::DoNotOptimize(lty::FrmPrint().CurrentImage());
        state.PauseTiming();
        lty::FrmPrint().hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PreviewFirstPage2000Lines)->Unit(benchmark::kMillisecond);

// What the user waits for when exporting: preparation, layout and the PDF.
void BM_QuotationToPdf2000Lines(benchmark::State& state) {
    Fixture& f = Shared();
    const QString path = f.out.filePath(QStringLiteral("export.pdf"));
    for (auto _ : state) {
        if (!lty::FrmPrint().PreparePrintData(f.quotation.Source) || !lty::FrmPrint().WritePdf(path))
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_QuotationToPdf2000Lines)->Unit(benchmark::kMillisecond);

// 导出Excel after the file dialog: the print rows from the grid, the heading
// and the workbook written and closed.
void BM_QuotationToXlsx2000Lines(benchmark::State& state) {
    Fixture& f = Shared();
    const QString path = f.out.filePath(QStringLiteral("export.xlsx"));
    for (auto _ : state)
        if (!lty::WriteQuotationWorkbookOf(f.quotation.Source, lty::PrintVersion::Customer, path))
            state.SkipWithError("workbook not written");
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_QuotationToXlsx2000Lines)->Unit(benchmark::kMillisecond);

// The same 2,000 lines as a spreadsheet (CSV), converted by LibreOffice in
// headless mode. A warm-up conversion first, so its profile exists.
void BM_LibreOfficeCsvToPdf2000Lines(benchmark::State& state) {
    Fixture& f = Shared();
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        state.SkipWithError("soffice not installed (apt-get install libreoffice-calc-nogui)");
        return;
    }
    const QString csv = f.out.filePath(QStringLiteral("quotation.csv"));
    {
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        QTextStream s(&file);
        s << "房间,序号,项目名称,工艺做法及说明,数量,单位,单价,合计\n";
        const auto& g = f.quotation.Grid;
        std::string room;
        int index = 0;
        for (int r = 2; r < g.EndRow(); ++r) {
            if (!g.IsItemRow(r)) {
                room = g.Text(1, r);
                index = 0;
                continue;
            }
            s << QString::fromStdString(room) << ',' << ++index << ',' << QString::fromStdString(g.Text(1, r)) << ",\""
              << QString::fromStdString(g.Text(6, r)) << "\"," << QString::fromStdString(g.Text(3, r)) << ','
              << QString::fromStdString(g.Text(4, r)) << ',' << QString::fromStdString(g.Text(2, r)) << ','
              << QString::fromStdString(g.Text(5, r)) << '\n';
        }
    }
    const QString profile = QStringLiteral("-env:UserInstallation=file://") + f.out.filePath(QStringLiteral("lo"));
    const QStringList args{profile,
                           QStringLiteral("--headless"),
                           QStringLiteral("--convert-to"),
                           QStringLiteral("pdf"),
                           QStringLiteral("--outdir"),
                           f.out.path(),
                           csv};
    auto run = [&] {
        QProcess p;
        p.start(soffice, args);
        return p.waitForFinished(120000) && p.exitCode() == 0;
    };
    if (!run()) {
        state.SkipWithError("LibreOffice conversion failed");
        return;
    }
    for (auto _ : state)
        if (!run()) state.SkipWithError("LibreOffice conversion failed");
}
BENCHMARK(BM_LibreOfficeCsvToPdf2000Lines)->Unit(benchmark::kMillisecond)->Iterations(3);

// The report's rows as the form reads them back, for timing layout alone.
lty::report::ReportTable TableOf(const lty::QuotationGrid& grid) {
    lty::report::ReportTable t;
    t.Fields = lty::kPrintFields + lty::kPrintMarkFields;
    std::string room;
    double sum = 0;
    int index = 0;
    for (int r = 2; r < grid.EndRow(); ++r) {
        if (!grid.IsItemRow(r)) {
            room = grid.Text(1, r);
            sum = std::atof(grid.Text(5, r).c_str());
            index = 0;
            continue;
        }
        t.Rows.push_back({QString::fromStdString(room), QString::fromStdString(grid.Text(1, r)),
                          std::atof(grid.Text(2, r).c_str()), std::atof(grid.Text(3, r).c_str()),
                          QString::fromStdString(grid.Text(4, r)), QString::fromStdString(grid.Text(6, r)),
                          static_cast<double>(++index), sum, true, index, true});
    }
    return t;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
