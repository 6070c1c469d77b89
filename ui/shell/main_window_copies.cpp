// The main window's commands that start from an existing quotation: a copy
// as a new project, templates, and repricing against today's catalog.
#include "core/data/data_module.h"
#include "core/data/project_copy.h"
#include "core/quotation/quotation_text.h"
#include "core/quotation/reprice.h"
#include "core/quotation/rooms.h"
#include "core/text/date_text.h"
#include "core/text/number_text.h"
#include "ui/common/globals.h"
#include "ui/quotation/project_window.h"
#include "ui/quotation/quotation_page.h"
#include "ui/quotation/reprice_dialog.h"
#include "ui/shell/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QTreeWidget>

#include <exception>

namespace lty {
namespace {

std::string S(const QString& s) { return s.toStdString(); }

// Whether the quotation's lines may change: a signed quotation's lines change
// only through a change order, and every command that rewrites lines asks
// this one place.
bool LinesEditable(TFrmProject_Detail* window) {
    if (window == nullptr) return false;
    if (!window->Page()->LinesLocked()) return true;
    Messages().Show(QuotationPage::kLockedHint);
    return false;
}

// The project as its window shows it, saved or not: the fields a copy keeps.
TREC_PROJECT ShownProject(TFrmProject_Detail* window) {
    window->FinishGridEdit();
    TREC_PROJECT shown;
    if (const TREC_PROJECT* stored = window->ProjectRecord()) shown = *stored;
    shown.SetcharHouseType(S(window->ComboBox1->currentText()));
    shown.SetcharDesignStyle(S(window->ComboBox2->currentText()));
    double area = 0;
    if (TryStrToFloat(S(window->Edit5->text()), area) && WithinNumberLimit(area)) shown.SetnumHouseAcreage(area);
    shown.SetcharDesigner(S(window->ComboBox3->currentText()));
    shown.SetcharDesignerTel(S(window->Edit6->text()));
    shown.SetcharQuotation(QuotationToText(window->Grid()));
    shown.SetcharRooms(RoomsToText(window->Grid()));
    shown.Rates = window->ProjectRates();
    shown.SetnumContractPrice(window->Grid().ProjectTotal());
    double fee = 0, tax = 0;
    if (TryStrToFloat(S(window->Edit8->text()), fee)) shown.SetnumOverheadExp(fee);
    if (TryStrToFloat(S(window->Edit9->text()), tax)) shown.SetnumTax(tax);
    return shown;
}

} // namespace

void TFrmMain::CopyProjectExecute() {
    if (!DM) return;
    TFrmProject_Detail* source = nullptr;
    std::unique_ptr<TREC_PROJECT> stored;
    QTreeWidgetItem* node = SelectedNode(TreeView1);
    const bool projectNode = node && node->parent() && node->parent()->parent() && node->data(0, kHasDataRole).toBool();
    // The tree's project when the tree is where the user is (its menu), the
    // active window's otherwise; an open project is copied as it is shown.
    if (projectNode && (TreeView1->hasFocus() || !ActiveProjectWindow())) {
        const QString id = node->data(0, kIdRole).toString();
        source = ProjectWindowOf(id);
        if (!source) stored = DM->LoadProject(S(id));
    } else {
        source = ActiveProjectWindow();
    }
    if (!source && !stored) {
        Messages().Show("请选择要复制的工程！");
        return;
    }
    const TREC_PROJECT original = source ? ShownProject(source) : *stored;
    if (!OpenProjectWindow(0)) return;
    TFrmProject_Detail* copy = ActiveProjectWindow();
    copy->ShowProjectRecord(ProjectCopy(original, TodayText()));
    // Nothing of it is stored yet: closing asks.
    copy->SetModified(true);
    copy->Edit1->setFocus();
}

void TFrmMain::SaveTemplateExecute() {
    TFrmProject_Detail* window = ActiveProjectWindow();
    if (!window || !DM) {
        Messages().Show("请选择要保存为模板的工程！");
        return;
    }
    window->FinishGridEdit();
    const QString suggestion = window->ComboBox1->currentText();
    std::optional<QString> name;
    if (AskTemplateName) {
        name = AskTemplateName(suggestion);
    } else {
        bool ok = false;
        const QString typed = QInputDialog::getText(this, QStringLiteral("保存为模板"), QStringLiteral("模板名称："),
                                                    QLineEdit::Normal, suggestion, &ok);
        if (ok) name = typed;
    }
    if (!name) return;
    DM->SaveTemplate(S(*name), QuotationToText(window->Grid()), RoomsToText(window->Grid()));
}

bool TFrmMain::OpenTemplate(std::int64_t templateId) {
    if (!DM) return false;
    const auto kept = DM->LoadTemplate(templateId);
    if (!kept) {
        Messages().Show("该模板已不存在！");
        return false;
    }
    if (!OpenProjectWindow(0)) return false;
    TFrmProject_Detail* window = ActiveProjectWindow();
    TextToQuotation(window->Grid(), kept->Quotation);
    RoomsFromText(window->Grid(), kept->Rooms);
    try {
        window->Grid().RecalcTotals();
    } catch (const std::exception&) {
        // A line whose amount is no number: the charges stay at zero until it is mended.
    }
    window->Page()->ReloadFromGrid();
    window->GridChanged();
    return true;
}

TFrmReprice* TFrmMain::LastRepriceDialog() const { return lastReprice_.data(); }

void TFrmMain::RepriceExecute() {
    TFrmProject_Detail* window = ActiveProjectWindow();
    if (!window || !DM) {
        Messages().Show("请选择要重新计价的工程！");
        return;
    }
    if (!LinesEditable(window)) return;
    window->FinishGridEdit();
    std::vector<RepriceCatalogEntry> catalog;
    const auto rows = DM->LoadCatalogPriceRows();
    catalog.reserve(rows.size());
    for (const auto& r : rows) catalog.push_back({r.Id, r.Name, r.Unit, r.Price});
    PriceComparison comparison = ComparePrices(window->Grid(), catalog);
    if (comparison.Changes.empty()) {
        Messages().Show("报价中施工项目的价格与目前的价格表一致，无需重新计价。");
        return;
    }
    auto* dialog = new TFrmReprice(this, std::move(comparison));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    QPointer<TFrmProject_Detail> target(window);
    connect(dialog, &QDialog::accepted, this, [target, dialog] {
        if (!target || !LinesEditable(target)) return;
        const auto chosen = dialog->Chosen();
        bool beyond = false;
        target->Page()->ChangeCells([&](QuotationGrid& grid) { ApplyPriceChanges(grid, chosen, &beyond); });
        if (beyond) Messages().Show(BeyondLimitMessage());
    });
    lastReprice_ = dialog;
    dialog->show();
}

} // namespace lty
