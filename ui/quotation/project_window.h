// A project window: one open quotation inside the main window, with its
// information page ("工程信息") and its quotation page ("报价明细").
#pragma once

#include "core/data/records.h"
#include "core/print/print_source.h"
#include "core/quotation/house_type.h"
#include "core/quotation/quotation_grid.h"

#include <QMdiSubWindow>
#include <QPointer>

#include <cstdint>
#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace lty {

class QuotationPage;
class ProjectWindowHost;
class ProjectVersionsBox;

class TFrmProject_Detail : public QMdiSubWindow {
    Q_OBJECT
public:
    // `saveMode`: SaveModeInsert for a new project, SaveModeUpdate for one
    // opened from the tree. Runs FormCreate.
    TFrmProject_Detail(ProjectWindowHost* host, int saveMode);
    ~TFrmProject_Detail() override;

    // ---- state -----------------------------------------------------------
    QuotationGrid& Grid() { return grid_; }
    const QuotationGrid& Grid() const { return grid_; }
    THuxing HouseType;
    double ProjectTotal() const { return grid_.ProjectTotal(); }
    // The record the window was opened with, then the one built at each
    // save; none for a new window until its first save.
    const TREC_PROJECT* ProjectRecord() const { return projectRecord_.get(); }
    void SetProjectRecord(std::unique_ptr<TREC_PROJECT> record);
    int SaveMode() const { return saveMode_; }
    void SetSaveMode(int mode) { saveMode_ = mode; }

    // Set at creation, then after each save from the project as saved; the
    // window menu finds the window by it.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // Whether anything changed since the window was opened or last saved.
    bool IsModified() const { return modified_; }
    void SetModified(bool modified);
    // Every change to the grid ends here: the window counts as changed, and
    // after a recalculation the fee, tax and total show the new charges.
    void GridChanged();
    // A catalog entry for the quotation (the catalog tree's double-click):
    // below the current row, undoable; nothing, and false, while the total
    // row is current.
    bool AddCatalogEntry(const CatalogLine& line);
    // Writes a cell the user is still typing in, so what is saved, printed
    // or asked about on closing is what the screen shows.
    void FinishGridEdit();

    // The page "报价明细" (a QVBoxLayout without margins) and the quotation
    // page that fills it. Every change to the grid goes through the page, so
    // the view, the undo history and the charges stay in step.
    QWidget* QuotationTab() const { return TabSheet2; }
    QuotationPage* Page() const { return page_; }

    // ---- operations --------------------------------------------------------
    void ResetProjectInfo();
    void ShowProjectRecord(const TREC_PROJECT& record);
    // A new record from the page and the grid, kept as ProjectRecord and
    // answered. A number box that holds no number raises ConvertError and
    // leaves ProjectRecord as it was.
    TREC_PROJECT* BuildProjectRecord();
    // The project as another program stored it, in place of what the window
    // shows (载入对方版本): kept as ProjectRecord and shown, with nothing changed.
    void ShowStoredProject(std::unique_ptr<TREC_PROJECT> stored);
    void LayoutFromHouseType();

    // With changes, asks "工程「…」已修改，是否保存？": Yes saves (false when the
    // save was refused), No discards, Cancel answers false. True at once
    // without changes.
    bool ConfirmClose();
    // Closes without the question (the program's exit has asked already).
    void CloseWithoutAsking();
    bool IsClosing() const { return closing_; }

    // ---- texts the printed quotation is headed with ----------------------
    QString CustomerText() const;
    QString ProjectNumberText() const;
    QString AddressText() const;
    QString CustomerTelText() const;
    QString HouseTypeText() const;
    QString DesignStyleText() const;
    QString AreaText() const;
    QString DesignerText() const;
    QString DesignerTelText() const;
    QString OverheadText() const; // Edit8, 管理费
    QString TaxText() const;      // Edit9, 税金
    QString TotalText() const;    // Label16, 项目总价
    // What the print commands print: this window's grid and the texts above
    // as they stand now, saved or not. Valid while the window lives.
    QuotationPrintSource PrintSource() const;

    // ---- events ------------------------------------------------------------
    void FormShow();
    void FormActivate();
    // Edit5KeyPress and Edit7KeyPress are the key filter of number_boxes.h.
    void Edit5Exit();
    void Edit7Exit();

    // ---- components --------------------------------------------------------
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;                // 客户名称
    QLineEdit* Edit2 = nullptr;                // 工程编号
    QLineEdit* Edit3 = nullptr;                // 工程地址
    QLineEdit* Edit4 = nullptr;                // 客户电话
    QComboBox* ComboBox1 = nullptr;            // 户型
    QComboBox* ComboBox2 = nullptr;            // 装饰风格
    QLineEdit* Edit5 = nullptr;                // 装饰面积
    QComboBox* ComboBox3 = nullptr;            // 设计师
    QLineEdit* Edit6 = nullptr;                // 设计电话
    QDateEdit* DateTimePicker1 = nullptr;      // 量房日期
    QLineEdit* Edit7 = nullptr;                // 定金
    QPlainTextEdit* Memo1 = nullptr;           // 客户要求
    QCheckBox* CheckBox1 = nullptr;            // 已签合同
    QLineEdit* Edit8 = nullptr;                // 管理费
    QLineEdit* Edit9 = nullptr;                // 税金
    QLabel* Label16 = nullptr;                 // 项目总价
    ProjectVersionsBox* VersionsBox = nullptr; // 合同版本: the signed version and its change orders

    // ---- the project's rates and discount (project_rates.cpp) -------------
    QLineEdit* EditOverheadRate = nullptr;  // 管理费率（%）, blank: the firm's
    QLineEdit* EditTaxRate = nullptr;       // 税率（%）, blank: the firm's
    QComboBox* ComboDiscountKind = nullptr; // 优惠: 无, 金额（元）, 比例（%）
    QLineEdit* EditDiscountValue = nullptr; // the amount or the percentage
    QLineEdit* EditDiscount = nullptr;      // 优惠金额, worked out
    // The rates and discount as the boxes hold them; a box that holds no
    // figure raises ConvertError with its message.
    TREC_PROJECTRATE ProjectRates() const;
    // The firm's rates as the window was opened with them.
    const TFirmRates& FirmRates() const { return firmRates_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void BuildInformationPage();
    void WatchForChanges();
    void ShowCharges();
    void ShowTotalText(const QString& text); // Label16 and the name it is read by
    void CreateQuotationPage();
    void BuildRateBoxes();
    void ShowRates(const TREC_PROJECTRATE& rates); // boxes and the grid's terms, no recalculation
    ChargeTerms TermsOf(const TREC_PROJECTRATE& rates) const;
    void ApplyRates(const TREC_PROJECTRATE& rates);
    void RatesTyped();
    void RateBoxExit(QLineEdit* box);
    void DiscountKindChosen(int kind);

    ProjectWindowHost* host_;
    QPointer<QWidget> hostWidget_; // null once the host is gone
    QuotationGrid grid_;
    QuotationPage* page_ = nullptr;
    std::unique_ptr<TREC_PROJECT> projectRecord_;
    int saveMode_;
    QString caption_;
    bool modified_ = false;
    int loading_ = 0; // while the window fills itself, nothing counts as a change
    bool shown_ = false;
    bool closing_ = false;
    bool closeConfirmed_ = false;
    bool destroyed_ = false;
    std::uint64_t chargesShownFor_ = 0; // the grid's RecalcCount the charge texts show
    TFirmRates firmRates_;
    int discountKind_ = 0;
    bool refusing_ = false;
    std::map<QLineEdit*, QString> acceptedText_; // each rate box's last accepted text
};

} // namespace lty
