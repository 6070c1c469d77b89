#include "ui/quotation/number_boxes.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace lty {
namespace {

class NumberBoxFilter : public QObject {
public:
    NumberBoxFilter(QLineEdit* box, bool filterKeys) : QObject(box), box_(box), filterKeys_(filterKeys) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == box_) {
            if (filterKeys_ && event->type() == QEvent::KeyPress && !IsNumberBoxKey(*static_cast<QKeyEvent*>(event)))
                return true;
            if (event->type() == QEvent::FocusOut) ZeroWhenBlank(box_);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QLineEdit* box_;
    bool filterKeys_;
};

} // namespace

bool IsNumberBoxKey(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty()) return true;
    const QChar c = text.front();
    // Control characters (backspace, Tab, Enter, Ctrl+letter) edit or move; they type nothing.
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    for (QChar ch : text)
        if (!(ch.isDigit() && ch.unicode() < 0x80) && ch != QLatin1Char('.')) return false;
    return true;
}

void ZeroWhenBlank(QLineEdit* box) {
    if (box->text().trimmed().isEmpty()) box->setText(QStringLiteral("0"));
}

void ApplyNumberBoxRules(QLineEdit* box, bool filterKeys) {
    box->installEventFilter(new NumberBoxFilter(box, filterKeys));
    // Typed through an input method, characters would pass the key filter unseen.
    if (filterKeys) box->setAttribute(Qt::WA_InputMethodEnabled, false);
}

} // namespace lty
