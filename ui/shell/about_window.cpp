#include "ui/shell/about_window.h"

#include "ui/common/pictures.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>

namespace lty {

TFrmAbout::TFrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TFrmAbout"));
    setWindowTitle(QStringLiteral("关于"));
    setModal(false);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setPixmap(Picture("ltyquote").pixmap(64, 64));
    auto* art = new QLabel(this);
    art->setObjectName(QStringLiteral("Image2"));
    art->setPixmap(Picture("about_art").pixmap(200, 40));

    auto* title = new QLabel(QStringLiteral("岚庭雅装饰报价系统V1.0"), this);
    title->setObjectName(QStringLiteral("LabelTitle"));
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    title->setFont(f);

    auto* lines = new QLabel(QStringLiteral("作者：岚庭雅装饰软件组\n"
                                            "联系电话：0571-88886666\n"
                                            "电子邮件：service@lantingya.example\n"
                                            "版权所有 © 岚庭雅装饰，保留一切权利。"),
                             this);
    lines->setObjectName(QStringLiteral("LabelLines"));
    lines->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setHorizontalSpacing(16);
    layout->addWidget(logo, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(art, 1, 1);
    layout->addWidget(rule, 2, 0, 1, 2);
    layout->addWidget(lines, 3, 0, 1, 2);
    setFixedSize(sizeHint().expandedTo(QSize(380, 220)));
}

} // namespace lty
