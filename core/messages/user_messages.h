// The one way core operations talk to the user. Windows answer with real
// message boxes; tests answer with a scripted fake, so nothing ever blocks.
#pragma once

#include <string>
#include <vector>

namespace lty {

enum class MessageIcon { None, Information, Warning, Stop, Question };

enum class Answer { Yes, No, Cancel };

class UserMessages {
public:
    virtual ~UserMessages() = default;
    // A plain message box with an OK button.
    virtual void Show(const std::string& text) = 0;
    // A box with an icon and title, OK button (the general error report uses it).
    virtual void ShowBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool Ask(const std::string& text, const std::string& title) = 0;
    // A Yes/No/Cancel question with the question icon. A seam that cannot
    // offer Cancel answers as its Yes/No question does.
    virtual Answer AskYesNoCancel(const std::string& text, const std::string& title) {
        return Ask(text, title) ? Answer::Yes : Answer::No;
    }
    // A question whose answers the caller captions (two or three, e.g. 是,
    // 否 and a third of its own): the place of the one chosen. The first is
    // the default; Escape gives the second. A seam that cannot offer them
    // answers as its Yes/No question does: 0 or 1.
    virtual int Choose(const std::string& text, const std::string& title, const std::vector<std::string>& answers) {
        (void)answers;
        return Ask(text, title) ? 0 : 1;
    }
};

} // namespace lty
