// "新装饰工程": the choice between a blank project, one laid out from a
// house type and one from each template. A new instance for every use of
// "新建装饰工程".
#pragma once

#include <QDialog>

#include <cstdint>

class QListWidget;
class QPushButton;

namespace lty {

class TFrmMain;

class TFrmNewProject : public QDialog {
    Q_OBJECT
public:
    explicit TFrmNewProject(TFrmMain* main);

    // Index 0 "空白工程" opens a blank project window, index 1 "户型选择"
    // the house-type dialog, a template a window holding its quotation; each
    // closes this dialog.
    void ListView1DblClick();
    // "删除模板" (or Delete) on the selected template, after the question.
    void DeleteTemplateClick();

    // The template id an entry stands for; 0 for the first two.
    static constexpr int kTemplateIdRole = Qt::UserRole;

    QListWidget* ListView1 = nullptr;
    QPushButton* BtnDeleteTemplate = nullptr; // 删除模板
    QPushButton* Button1 = nullptr;           // 关闭

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ListTemplates();
    std::int64_t SelectedTemplate() const;

    TFrmMain* main_;
};

} // namespace lty
