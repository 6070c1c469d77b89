// "关于": who made the program and how to reach them.
#pragma once

#include <QDialog>

namespace lty {

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget* parent);
};

} // namespace lty
