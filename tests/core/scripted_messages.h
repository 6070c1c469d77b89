// A message seam for tests: records every text and answers questions from a queue.
#pragma once

#include "core/messages/user_messages.h"

#include <deque>
#include <string>
#include <vector>

namespace lty::test {

struct ShownMessage {
    std::string Kind; // "show", "box", "ask", "ask3" or "choose"
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
    // Choose pops the place of its answer from the front; with none queued it
    // answers from Answers as a Yes/No question would (0 or 1), and with
    // neither the second answer, as Escape does.
    std::deque<int> Picks;
    std::vector<std::string> Offered; // the answers the last Choose offered

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
    int Choose(const std::string& text, const std::string& title, const std::vector<std::string>& answers) override {
        Shown.push_back({"choose", text, title, MessageIcon::Question});
        Offered = answers;
        if (!Picks.empty()) {
            const int p = Picks.front();
            Picks.pop_front();
            return p;
        }
        if (!Answers.empty()) {
            const bool a = Answers.front();
            Answers.pop_front();
            return a ? 0 : 1;
        }
        return 1;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : Shown) t.push_back(m.Text);
        return t;
    }
};

} // namespace lty::test
