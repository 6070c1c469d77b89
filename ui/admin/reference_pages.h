// Pages "公司资料管理" and "设计师资料管理": the company row and the designers.
// The boxes are tied to the columns as existing databases hold them: the
// "联系人：" box to COM_TEL1, "联系电话2：" to COM_PERSON, and on the designer
// page the "地址：" box to DESTEL and the "电话：" box to DESADDRESS.
#pragma once

#include <QWidget>

class QFrame;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace lty {

class TCompanyPage : public QWidget {
    Q_OBJECT
public:
    explicit TCompanyPage(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLineEdit* Edit7 = nullptr;  // 公司名称 -> Name
    QLineEdit* Edit8 = nullptr;  // 地址 -> Address
    QLineEdit* Edit9 = nullptr;  // 联系人 -> Tel1
    QLineEdit* Edit10 = nullptr; // 联系电话1 -> Tel2
    QLineEdit* Edit11 = nullptr; // 联系电话2 -> Person
    QLineEdit* EditOverheadRate = nullptr; // 管理费率（%）, TBLSETTING
    QLineEdit* EditTaxRate = nullptr;      // 税率（%）, TBLSETTING
    QPushButton* Button4 = nullptr;

    // The boxes from CompanyInfo, and the firm's rates from the database.
    void ShowCompanyInfo();
    void Button4Click();
};

class TDesignerPage : public QWidget {
    Q_OBJECT
public:
    explicit TDesignerPage(QWidget* parent = nullptr);

    QFrame* Panel2 = nullptr;
    QTableWidget* sgDes = nullptr;
    QLineEdit* Edit12 = nullptr;    // 设计师姓名 -> column 1, DESNAME
    QLineEdit* Edit13 = nullptr;    // 地址 -> column 2, DESTEL
    QLineEdit* Edit15 = nullptr;    // 电话 -> column 3, DESADDRESS
    QPushButton* Button5 = nullptr; // 新建
    QPushButton* Button7 = nullptr; // 删除
    QPushButton* Button6 = nullptr; // 保存
    QPushButton* Button8 = nullptr; // 取消

    void RefreshDesignerGrid();
    void sgDesClick();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();

private:
    QString Cell(int column) const;
};

} // namespace lty
