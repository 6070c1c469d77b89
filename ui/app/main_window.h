// The main window: a multi-document frame holding the project windows.
#pragma once

#include <QMainWindow>

#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace lty {

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    QMdiArea* MdiArea() const { return mdiArea_; }
    QLabel* StatusPanel(int index) const { return statusPanels_.at(static_cast<std::size_t>(index)); }
    QAction* ActExit = nullptr;
    QMenu* MenuProject = nullptr;
    QToolBar* ToolBar1 = nullptr;
    // One entry per open project window, listed in the "窗口" menu.
    std::vector<QAction*> WindowMenuEntries;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    bool FormCloseQuery();
    void FormClose();
    void ActExitExecute();

    QMdiArea* mdiArea_ = nullptr;
    std::vector<QLabel*> statusPanels_;
};

} // namespace lty
