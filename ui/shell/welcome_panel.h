// The welcome in the empty work area of the main window, while the database
// holds no project and no project window is open: the first steps, each a
// button reachable by Tab, and where the first password is changed.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace lty {

class TFrmMain;

class TWelcomePanel : public QFrame {
    Q_OBJECT
public:
    explicit TWelcomePanel(TFrmMain* main);

    // Shows the panel when the database is connected, holds no project and no
    // project window is open; hides it otherwise.
    void Update();

    QPushButton* NewProjectButton = nullptr;
    QPushButton* HelpButton = nullptr;
    QLabel* PasswordHint = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Center();
    TFrmMain* main_;
    bool focused_ = false;
};

} // namespace lty
