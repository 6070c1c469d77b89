// The rules of the boxes that take a number or a count: which typed
// characters get in, and "0" for a box left empty.
#pragma once

class QKeyEvent;
class QLineEdit;

namespace lty {

// Digits, '.', backspace, and every key that types no character (arrows,
// Tab, shortcuts such as Ctrl+V) get through; every other character is dropped.
bool IsNumberBoxKey(const QKeyEvent& event);

// A box whose text, trimmed of blanks, is empty gets "0".
void ZeroWhenBlank(QLineEdit* box);

// Installs "0 on leaving an empty box" and, with `filterKeys`, the key filter.
void ApplyNumberBoxRules(QLineEdit* box, bool filterKeys);

} // namespace lty
