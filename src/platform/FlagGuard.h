// Sets a flag for the lifetime of the guard and puts back what it was, also
// when an error escapes.
#pragma once

namespace platform {

class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = old_; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace platform
