// The project window's life: creation, filling from a record, building a
// record, the charges, changes, closing.
#include "ui/quotation/project_window.h"
#include "ui/quotation/loading_scope.h"

#include "core/data/data_module.h"
#include "core/quotation/quotation_text.h"
#include "core/quotation/rooms.h"
#include "core/text/date_text.h"
#include "core/text/number_text.h"
#include "ui/common/globals.h"
#include "ui/common/pictures.h"
#include "ui/common/project_window_host.h"
#include "ui/quotation/number_boxes.h"
#include "ui/quotation/project_versions.h"
#include "ui/quotation/quotation_page.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lty {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

} // namespace

TFrmProject_Detail::TFrmProject_Detail(ProjectWindowHost* host, int saveMode)
    : QMdiSubWindow(nullptr), host_(host), hostWidget_(host ? host->HostWidget() : nullptr), saveMode_(saveMode) {
    setObjectName(QStringLiteral("TFrmProject_Detail"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(Picture("project"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setTabPosition(QTabWidget::South);
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    auto* quotationLayout = new QVBoxLayout(TabSheet2);
    quotationLayout->setContentsMargins(0, 0, 0, 0);
    quotationLayout->setSpacing(0);
    PageControl1->addTab(TabSheet1, QStringLiteral("工程信息"));
    PageControl1->addTab(TabSheet2, QStringLiteral("报价明细"));
    PageControl1->setCurrentWidget(TabSheet1);
    setWidget(PageControl1);
    BuildInformationPage();
    FormCreate();
    CreateQuotationPage();
    WatchForChanges();
}

// The page renders the grid FormCreate laid out; the window keeps the grid and
// learns of every change, and of every recalculation, from the page.
void TFrmProject_Detail::CreateQuotationPage() {
    page_ = new QuotationPage(grid_, TabSheet2);
    TabSheet2->layout()->addWidget(page_);
    connect(page_, &QuotationPage::changed, this, &TFrmProject_Detail::GridChanged);
    connect(page_, &QuotationPage::newChangeOrderRequested, VersionsBox, &ProjectVersionsBox::NewChangeOrder);
    connect(page_, &QuotationPage::chargesChanged, this, [this] {
        const Loading loading(loading_);
        ShowCharges();
    });
    // Brought up, the quotation takes the keys at once: arrows, typing, Ctrl+Z.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (PageControl1->currentWidget() == TabSheet2) page_->setFocus(Qt::OtherFocusReason);
    });
}

TFrmProject_Detail::~TFrmProject_Detail() {
    FormDestroy();
    // The page reads grid_, a member that goes before the widgets do.
    delete page_;
    page_ = nullptr;
}

void TFrmProject_Detail::FormCreate() {
    const Loading loading(loading_);
    grid_.LayoutQuotationGrid();
    HouseType = THuxing();
    ResetProjectInfo();
    chargesShownFor_ = grid_.RecalcCount();
}

void TFrmProject_Detail::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (hostWidget_) host_->RemoveWindowMenuEntries(caption_);
}

void TFrmProject_Detail::SetCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(caption);
}

void TFrmProject_Detail::SetProjectRecord(std::unique_ptr<TREC_PROJECT> record) { projectRecord_ = std::move(record); }

void TFrmProject_Detail::SetModified(bool modified) { modified_ = modified; }

void TFrmProject_Detail::ResetProjectInfo() {
    const Loading loading(loading_);
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4}) e->clear();
    if (ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
    if (ComboBox2->count() > 0) ComboBox2->setCurrentIndex(0);
    Edit5->setText(QStringLiteral("0"));
    if (ComboBox3->count() > 0) ComboBox3->setCurrentIndex(0);
    Edit6->clear();
    DateTimePicker1->setDate(QDate::currentDate());
    Edit7->setText(QStringLiteral("0"));
    Memo1->clear();
    Edit8->setText(QStringLiteral("0.00"));
    Edit9->setText(QStringLiteral("0.00"));
}

void TFrmProject_Detail::FormShow() {
    const Loading loading(loading_);
    TNameList names;
    if (DM) DM->FillDesignerNames(names);
    ComboBox3->clear();
    for (const auto& n : names.Items) ComboBox3->addItem(Q(n));
    if (ComboBox3->count() > 0)
        ComboBox3->setCurrentIndex(0);
    else
        ComboBox3->setEditText(QString());
}

void TFrmProject_Detail::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TFrmProject_Detail::FormActivate() {
    if (hostWidget_) host_->UpdateWindowMenuChecks();
}

void TFrmProject_Detail::ShowProjectRecord(const TREC_PROJECT& record) {
    std::string badDate;
    int refused = 0;
    bool corrected = false;
    {
        const Loading loading(loading_);
        Edit1->setText(Q(record.charCustomer));
        Edit2->setText(Q(record.charProjectID));
        Edit3->setText(Q(record.charAddress));
        Edit4->setText(Q(record.charCustomerTel));
        ComboBox1->setEditText(Q(record.charHouseType));
        ComboBox2->setEditText(Q(record.charDesignStyle));
        Edit5->setText(Q(FloatToStr(record.numHouseAcreage)));
        ComboBox3->setEditText(Q(record.charDesigner));
        Edit6->setText(Q(record.charDesignerTel));
        Date date;
        if (TryStrToDate(record.dateSignDate, date)) {
            DateTimePicker1->setDate(QDate(date.Year, date.Month, date.Day));
        } else {
            // Only a hand-edited file holds such a date; the rest of the
            // project still deserves to be shown.
            DateTimePicker1->setDate(QDate::currentDate());
            badDate = record.dateSignDate;
        }
        Edit7->setText(Q(FloatToStr(record.numEarnest)));
        Memo1->setPlainText(Q(record.charCustomerDemand));
        CheckBox1->setChecked(record.blnSignContract);
        // Money reads as money: two decimals, as the computed charges show.
        Edit8->setText(Q(FormatTwoDecimals(record.numOverheadExp)));
        Edit9->setText(Q(FormatTwoDecimals(record.numTax)));
        grid_.SetProjectTotal(record.numContractPrice);
        ShowTotalText(Q(FormatTwoDecimals(record.numContractPrice)));
        ShowRates(record.Rates);
        refused = TextToQuotation(grid_, record.charQuotation);
        RoomsFromText(grid_, record.charRooms);
        // Charges stored beyond the ceiling of figures cannot be shown or
        // saved again as they are: they follow the quotation instead.
        const bool chargesBeyond = !WithinNumberLimit(record.numContractPrice) ||
                                   !WithinNumberLimit(record.numOverheadExp) || !WithinNumberLimit(record.numTax);
        if (chargesBeyond && refused == 0) grid_.RecalcTotals();
        page_->ReloadFromGrid();
        if (refused > 0 || chargesBeyond)
            ShowCharges();
        else
            chargesShownFor_ = grid_.RecalcCount();
        corrected = refused > 0 || chargesBeyond;
        VersionsBox->Load(record.IntID);
    }
    // What was corrected is not yet stored: closing asks whether to save it.
    modified_ = corrected;
    if (!badDate.empty()) Messages().Show("'" + badDate + "' is not a valid date");
    if (corrected)
        Messages().Show((refused > 0 ? "报价中有" + std::to_string(refused) + "项明细的数字超出范围，已更正"
                                     : std::string("工程的金额超出范围，已按报价重新计算")) +
                        "，请核对后保存" + std::string(kNumberLimitNote));
}

TREC_PROJECT* TFrmProject_Detail::BuildProjectRecord() {
    FinishGridEdit();
    auto r = std::make_unique<TREC_PROJECT>();
    r->SetcharCustomer(S(Edit1->text()));
    r->SetcharProjectID(S(Edit2->text()));
    r->SetcharAddress(S(Edit3->text()));
    r->SetcharCustomerTel(S(Edit4->text()));
    r->SetcharHouseType(S(ComboBox1->currentText()));
    r->SetcharDesignStyle(S(ComboBox2->currentText()));
    r->SetnumHouseAcreage(StrToLimitedFloat(S(Edit5->text())));
    r->SetcharDesigner(S(ComboBox3->currentText()));
    r->SetcharDesignerTel(S(Edit6->text()));
    const QDate d = DateTimePicker1->date();
    r->SetdateSignDate(DateToStr(Date{d.year(), d.month(), d.day()}));
    r->SetnumEarnest(StrToLimitedFloat(S(Edit7->text())));
    r->SetcharCustomerDemand(S(Memo1->toPlainText()));
    r->SetblnSignContract(CheckBox1->isChecked());
    r->SetnumOverheadExp(StrToLimitedFloat(S(Edit8->text())));
    r->SetnumTax(StrToLimitedFloat(S(Edit9->text())));
    r->Rates = ProjectRates();
    r->Rates.Stored = projectRecord_ && projectRecord_->Rates.Stored;
    r->SetnumDiscount(static_cast<double>(DiscountCents(grid_.ProjectTotal(), grid_.Terms())) / 100);
    r->SetcharQuotation(QuotationToText(grid_));
    r->SetcharRooms(RoomsToText(grid_));
    r->SetnumContractPrice(grid_.ProjectTotal());
    // The row this window writes: the one it was opened from or inserted.
    // With it the update can refuse to reach any other project's row.
    r->SetIntID(projectRecord_ ? projectRecord_->IntID : 0);
    projectRecord_ = std::move(r);
    return projectRecord_.get();
}

void TFrmProject_Detail::ShowStoredProject(std::unique_ptr<TREC_PROJECT> stored) {
    // A cell still being typed in goes with the rest of the window's changes.
    FinishGridEdit();
    const TREC_PROJECT& shown = *stored;
    projectRecord_ = std::move(stored);
    ShowProjectRecord(shown);
}

void TFrmProject_Detail::LayoutFromHouseType() {
    lty::LayoutFromHouseType(grid_, HouseType);
    page_->ReloadFromGrid();
}

void TFrmProject_Detail::ShowCharges() {
    const QuotationCharges& c = grid_.Charges();
    Edit8->setText(Q(c.Edit8Text));
    Edit9->setText(Q(c.Edit9Text));
    ShowTotalText(Q(c.Label16Text));
    EditDiscount->setText(Q(c.DiscountText));
    chargesShownFor_ = grid_.RecalcCount();
}

void TFrmProject_Detail::GridChanged() {
    if (grid_.RecalcCount() != chargesShownFor_) {
        const Loading loading(loading_);
        ShowCharges();
    }
    modified_ = true;
}

bool TFrmProject_Detail::AddCatalogEntry(const CatalogLine& line) { return page_->AddCatalogEntry(line); }

void TFrmProject_Detail::FinishGridEdit() {
    if (page_) page_->FinishEditing();
}

void TFrmProject_Detail::Edit5Exit() { ZeroWhenBlank(Edit5); }
void TFrmProject_Detail::Edit7Exit() { ZeroWhenBlank(Edit7); }

bool TFrmProject_Detail::ConfirmClose() {
    FinishGridEdit();
    if (!modified_) return true;
    switch (Messages().AskYesNoCancel("工程「" + S(caption_) + "」已修改，是否保存？", "询问")) {
    case Answer::Yes:
        return hostWidget_ && host_->SaveProjectWindow(this);
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void TFrmProject_Detail::CloseWithoutAsking() {
    closeConfirmed_ = true;
    close();
}

void TFrmProject_Detail::closeEvent(QCloseEvent* event) {
    if (!closeConfirmed_ && !ConfirmClose()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QMdiSubWindow::closeEvent(event);
    // The menu entry goes with the window, not when the deferred delete runs.
    FormDestroy();
}

// ---- texts for the printed heading ------------------------------------------

QString TFrmProject_Detail::CustomerText() const { return Edit1->text(); }
QString TFrmProject_Detail::ProjectNumberText() const { return Edit2->text(); }
QString TFrmProject_Detail::AddressText() const { return Edit3->text(); }
QString TFrmProject_Detail::CustomerTelText() const { return Edit4->text(); }
QString TFrmProject_Detail::HouseTypeText() const { return ComboBox1->currentText(); }
QString TFrmProject_Detail::DesignStyleText() const { return ComboBox2->currentText(); }
QString TFrmProject_Detail::AreaText() const { return Edit5->text(); }
QString TFrmProject_Detail::DesignerText() const { return ComboBox3->currentText(); }
QString TFrmProject_Detail::DesignerTelText() const { return Edit6->text(); }
QString TFrmProject_Detail::OverheadText() const { return Edit8->text(); }
QString TFrmProject_Detail::TaxText() const { return Edit9->text(); }
QString TFrmProject_Detail::TotalText() const { return Label16->text(); }

QuotationPrintSource TFrmProject_Detail::PrintSource() const {
    return {&grid_,           S(CustomerText()), S(CustomerTelText()), S(DesignerText()),      S(DesignerTelText()),
            S(AddressText()), S(OverheadText()), S(TaxText()),         S(ProjectNumberText()), S(HouseTypeText())};
}

} // namespace lty
