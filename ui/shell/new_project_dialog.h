// "新装饰工程": the choice between a blank project and one laid out from a
// house type. A new instance for every use of "新建装饰工程".
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace lty {

class TFrmMain;

class TFrmNewProject : public QDialog {
    Q_OBJECT
public:
    explicit TFrmNewProject(TFrmMain* main);

    // Index 0 "空白工程" opens a blank project window, index 1 "户型选择"
    // the house-type dialog; either closes this dialog.
    void ListView1DblClick();

    QListWidget* ListView1 = nullptr;
    QPushButton* Button1 = nullptr; // 关闭

private:
    TFrmMain* main_;
};

} // namespace lty
