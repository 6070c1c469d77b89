// Keeps a window's loading counter raised for a scope, so what the window
// fills in itself counts as no change by the user.
#pragma once

namespace lty {

class Loading {
public:
    explicit Loading(int& counter) : counter_(counter) { ++counter_; }
    ~Loading() { --counter_; }
    Loading(const Loading&) = delete;
    Loading& operator=(const Loading&) = delete;

private:
    int& counter_;
};

} // namespace lty
