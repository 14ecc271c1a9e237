// Steps that a test runs one after another from inside a modal loop (the settings dialog's),
// on a timer of the thread, so the loop's own message handling goes on between them.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace tolvern::test {

class WhileModal {
public:
    explicit WhileModal(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        ::SetTimer(nullptr, 0, 50, Tick);
    }
    ~WhileModal() { current_ = nullptr; }
    WhileModal(const WhileModal&) = delete;
    WhileModal& operator=(const WhileModal&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (!current_ || current_->next_ >= current_->steps_.size()) {
            ::KillTimer(nullptr, id);
            return;
        }
        current_->steps_[current_->next_++]();
    }
    static inline WhileModal* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
};

} // namespace tolvern::test
