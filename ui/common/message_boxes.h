// The message seam answered with real message boxes.
#pragma once

#include "core/messages/user_messages.h"

namespace lty {

class QtMessages : public UserMessages {
public:
    void Show(const std::string& text) override;
    void ShowBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool Ask(const std::string& text, const std::string& title) override;
    Answer AskYesNoCancel(const std::string& text, const std::string& title) override;
    int Choose(const std::string& text, const std::string& title, const std::vector<std::string>& answers) override;
};

} // namespace lty
