// A message seam for benchmarks: shows nothing, answers No.
#pragma once

#include "core/messages/user_messages.h"

namespace lty::bench {

class SilentMessages : public UserMessages {
public:
    void Show(const std::string&) override {}
    void ShowBox(const std::string&, const std::string&, MessageIcon) override {}
    bool Ask(const std::string&, const std::string&) override { return false; }
};

} // namespace lty::bench
