#pragma once

namespace quilldeck::win {

// The record of whether the program is minimised, which the application
// consults before every minimise and restore. Whoever keeps the program's
// life keeps it, so that the application holds no record of its own.
class MinimizedRecord {
public:
    virtual ~MinimizedRecord() = default;
    // Whether a minimise goes ahead now; when it does, the program counts as
    // minimised from here on.
    virtual bool StartMinimize() = 0;
    // Whether a restore goes ahead now; when it does, the program no longer
    // counts as minimised.
    virtual bool StartRestore() = 0;
    virtual bool Minimized() const = 0;
};

// A record that knows nothing but minimised or not: the application's own
// until its owner gives it another.
class PlainMinimizedRecord final : public MinimizedRecord {
public:
    bool StartMinimize() override { return Change(true); }
    bool StartRestore() override { return Change(false); }
    bool Minimized() const override { return minimized_; }

private:
    bool Change(bool minimized) {
        if (minimized_ == minimized) return false;
        minimized_ = minimized;
        return true;
    }
    bool minimized_ = false;
};

}  // namespace quilldeck::win
