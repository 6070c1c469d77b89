#include "ui/common/message_boxes.h"

#include "ui/common/globals.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace lty {
namespace {

QWidget* Owner() { return QApplication::activeWindow(); }

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A short text makes a box narrower than its title, and the window manager
// then cuts the title to "岚庭…". A spacer under the text keeps the box at
// least as wide as the title needs.
int Exec(QMessageBox& box) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box.exec();
}

} // namespace

void QtMessages::Show(const std::string& text) { ShowBox(text, kApplicationTitle, MessageIcon::None); }

void QtMessages::ShowBox(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(ToQt(icon), QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok, Owner());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    Exec(box);
}

bool QtMessages::Ask(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, Owner());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.setDefaultButton(QMessageBox::Yes);
    return Exec(box) != QMessageBox::No;
}

Answer QtMessages::AskYesNoCancel(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Owner());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (Exec(box)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

int QtMessages::Choose(const std::string& text, const std::string& title, const std::vector<std::string>& answers) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::NoButton, Owner());
    std::vector<QPushButton*> buttons;
    for (const std::string& a : answers) {
        // 是 and 否 keep the keys they have in every other question.
        QString caption = QString::fromStdString(a);
        if (a == "是")
            caption = QStringLiteral("是(&Y)");
        else if (a == "否")
            caption = QStringLiteral("否(&N)");
        buttons.push_back(box.addButton(caption, QMessageBox::ActionRole));
    }
    if (buttons.empty()) return -1;
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.size() > 1 ? buttons[1] : buttons.front());
    Exec(box);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    return buttons.size() > 1 ? 1 : 0;
}

} // namespace lty
