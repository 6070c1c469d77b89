// A message seam for tests: records every text and answers questions from a queue.
#pragma once

#include "core/messages/user_messages.h"

#include <deque>
#include <string>
#include <vector>

namespace lty::test {

struct ShownMessage {
    std::string Kind; // "show", "box", "ask" or "ask3"
    std::string Text;
    std::string Title;
    MessageIcon Icon = MessageIcon::None;
};

class ScriptedMessages : public UserMessages {
public:
    std::vector<ShownMessage> Shown;
    std::deque<bool> Answers; // Ask pops from the front; an empty queue answers No
    // AskYesNoCancel pops from the front; an empty queue answers Cancel, which loses nothing.
    std::deque<Answer> Choices;

    void Show(const std::string& text) override { Shown.push_back({"show", text, {}, MessageIcon::None}); }
    void ShowBox(const std::string& text, const std::string& title, MessageIcon icon) override {
        Shown.push_back({"box", text, title, icon});
    }
    bool Ask(const std::string& text, const std::string& title) override {
        Shown.push_back({"ask", text, title, MessageIcon::Question});
        if (Answers.empty()) return false;
        const bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    Answer AskYesNoCancel(const std::string& text, const std::string& title) override {
        Shown.push_back({"ask3", text, title, MessageIcon::Question});
        if (Choices.empty()) return Answer::Cancel;
        const Answer a = Choices.front();
        Choices.pop_front();
        return a;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : Shown) t.push_back(m.Text);
        return t;
    }
};

} // namespace lty::test
