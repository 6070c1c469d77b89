// Answers the password dialog while it runs modally: the entries typed one
// per Enter; an empty optional cancels.
#pragma once

#include "ui/admin/password_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <optional>
#include <vector>

namespace lty::test {

inline void AnswerPassword(std::vector<std::optional<QString>> entries) {
    QTimer::singleShot(0, [entries] {
        auto* dlg = qobject_cast<TFrmPassWord*>(QApplication::activeModalWidget());
        if (!dlg) return;
        for (const auto& e : entries) {
            if (!e) {
                dlg->Button2->click();
                return;
            }
            QTest::keyClicks(dlg->Edit1, *e);
            QTest::keyClick(dlg->Edit1, Qt::Key_Return);
            if (!dlg->isVisible()) return;
        }
    });
}

} // namespace lty::test
