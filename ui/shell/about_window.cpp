#include "ui/shell/about_window.h"

#include "core/data/data_module.h"
#include "ui/common/globals.h"
#include "ui/common/pictures.h"
#include "ui/shell/help_window.h"

#include <QDate>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>

#ifndef LTY_VERSION
#define LTY_VERSION "1.0"
#endif

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

    LabelVersion = new QLabel(VersionText(), this);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelDatabase = new QLabel(this);
    LabelDatabase->setObjectName(QStringLiteral("LabelDatabase"));
    LabelDatabase->setWordWrap(true);
    LabelDatabase->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    LabelDatabase->setFocusPolicy(Qt::TabFocus);
    LabelGuide = new QLabel(QStringLiteral("<a href=\"guide\">操作说明（F1）</a>"), this);
    LabelGuide->setObjectName(QStringLiteral("LabelGuide"));
    LabelGuide->setAccessibleName(QStringLiteral("操作说明"));
    LabelGuide->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    LabelGuide->setFocusPolicy(Qt::TabFocus);
    connect(LabelGuide, &QLabel::linkActivated, this, [this] { ShowGuide(parentWidget(), QString()); });

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
    layout->addWidget(LabelVersion, 4, 0, 1, 2);
    layout->addWidget(LabelDatabase, 5, 0, 1, 2);
    layout->addWidget(LabelGuide, 6, 0, 1, 2);
    LabelDatabase->setText(DatabaseText());
    LabelDatabase->setMinimumWidth(400);
    setFixedSize(sizeHint().expandedTo(QSize(440, 300)));
}

QString TFrmAbout::VersionText() {
    // The compiler's date, "Dec  9 2026", as the program writes dates.
    const QDate built = QLocale::c().toDate(QString::fromLatin1(__DATE__).simplified(), QStringLiteral("MMM d yyyy"));
    return QStringLiteral("版本 %1（构建日期 %2）")
        .arg(QString::fromLatin1(LTY_VERSION), built.toString(QStringLiteral("yyyy-MM-dd")));
}

QString TFrmAbout::DatabaseText() {
    if (!DM || !DM->Connected()) return QStringLiteral("数据库：未连接");
    const std::string where = DM->ADOMain.Location();
    if (where == "本机")
        return QStringLiteral("数据库：") + QDir::toNativeSeparators(QString::fromStdString(DM->DatabasePath()));
    return QStringLiteral("数据库：") + QString::fromStdString(where);
}

void TFrmAbout::showEvent(QShowEvent* event) {
    // The data may have moved (another database since the last showing).
    LabelDatabase->setText(DatabaseText());
    QDialog::showEvent(event);
}

} // namespace lty
