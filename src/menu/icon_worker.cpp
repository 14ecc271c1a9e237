// The one worker thread of the program: it finds and makes items' icons off the menu's thread.
#include "menu/icon_worker.h"

#include "base/com.h"
#include "framework/window.h"

#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <unordered_set>
#include <utility>

namespace tolvern {

namespace {
constexpr UINT kIconArrived = WM_APP + 1;
constexpr UINT kPaintingDone = WM_APP + 2;

struct Job {
    int index = 0;
    IconRequest request;
};

// One icon on its way to the menu's thread.
struct Result {
    unsigned epoch = 0;
    int index = 0;
    FetchedIcon icon;
    ~Result() {
        if (icon.icon)
            ::DestroyIcon(icon.icon);
    }
};
} // namespace

struct TIconWorker::Shared {
    Shared(std::shared_ptr<TIconLocations> table, std::function<void()> gate)
        : locations(std::move(table)), beforeEach(std::move(gate)) {}
    std::shared_ptr<TIconLocations> locations;
    std::function<void()> beforeEach;
    std::mutex mutex;
    std::condition_variable wake; // work or the end
    std::condition_variable idle; // the icon in hand is done, or the thread has ended
    std::deque<Job> urgent, background;
    bool working = false;
    bool stop = false;
    bool held = false;
    std::chrono::steady_clock::time_point heldUntil;
    bool ended = false;
    unsigned epoch = 0;    // of the pools the jobs are for
    HWND window = nullptr; // where results go; null once it is gone
    std::atomic<int> undelivered{0};

    void Run();
};

// The window of the menu's thread that receives the icons.
class TIconWorker::ResultWindow : public Window {
public:
    explicit ResultWindow(TIconWorker& worker) : worker_(worker) {
        CreateHandle(L"TolvernIconWorker", L"", 0, 0, HWND_MESSAGE);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPaintingDone) {
            {
                std::lock_guard<std::mutex> lock(worker_.shared_->mutex);
                worker_.shared_->held = false;
            }
            worker_.shared_->wake.notify_all();
            return 0;
        }
        if (message != kIconArrived)
            return Window::HandleMessage(message, wParam, lParam);
        std::unique_ptr<Result> result(reinterpret_cast<Result*>(lParam));
        --worker_.shared_->undelivered;
        unsigned epoch = 0;
        {
            std::lock_guard<std::mutex> lock(worker_.shared_->mutex);
            epoch = worker_.shared_->epoch;
        }
        // Otherwise the result's icon goes with it.
        if (result->epoch == epoch && worker_.deliver_)
            worker_.deliver_(result->index, std::exchange(result->icon, FetchedIcon{}));
        return 0;
    }

private:
    TIconWorker& worker_;
};

void TIconWorker::Shared::Run() {
    // A COM apartment of the worker's own: no shell object of the menu's thread is used here.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IMalloc> allocator;
    ::SHGetMalloc(&allocator);
    unsigned knownEpoch = 0;
    std::unordered_set<int> done;               // entries delivered in this epoch
    std::unordered_set<std::wstring> delivered; // keys whose icons were delivered in it
    for (;;) {
        Job job;
        unsigned jobEpoch = 0;
        {
            std::unique_lock<std::mutex> lock(mutex);
            for (;;) {
                const bool queued = !urgent.empty() || !background.empty();
                if (stop || (queued && (!held || std::chrono::steady_clock::now() >= heldUntil)))
                    break;
                if (queued)
                    wake.wait_until(lock, heldUntil);
                else
                    wake.wait(lock);
            }
            if (stop)
                break;
            std::deque<Job>& from = urgent.empty() ? background : urgent;
            job = std::move(from.front());
            from.pop_front();
            jobEpoch = epoch;
            if (jobEpoch != knownEpoch) {
                done.clear();
                delivered.clear();
                knownEpoch = jobEpoch;
            }
            if (!allocator || done.count(job.index))
                continue; // asked again while it was on its way
            working = true;
        }
        if (beforeEach)
            beforeEach();
        auto result = std::make_unique<Result>();
        result->epoch = jobEpoch;
        result->index = job.index;
        result->icon =
            FetchRemembered(*allocator.Get(), job.request, *locations,
                            [&](const std::wstring& key) { return delivered.count(key) > 0; });
        const std::wstring key = result->icon.key;
        {
            std::lock_guard<std::mutex> lock(mutex);
            // Posted under the lock, so that the window cannot go in between.
            ++undelivered;
            if (window &&
                ::PostMessageW(window, kIconArrived, 0, reinterpret_cast<LPARAM>(result.get()))) {
                result.release();
                done.insert(job.index);
                delivered.insert(key);
            } else {
                --undelivered;
            }
            working = false;
        }
        idle.notify_all();
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        working = false;
        ended = true;
    }
    idle.notify_all();
    allocator.Reset();
    if (SUCCEEDED(com))
        ::CoUninitialize();
}

TIconWorker::TIconWorker(std::shared_ptr<TIconLocations> locations, Deliver deliver,
                         std::function<void()> beforeEach)
    : shared_(std::make_shared<Shared>(std::move(locations), std::move(beforeEach))),
      window_(std::make_unique<ResultWindow>(*this)), deliver_(std::move(deliver)) {
    shared_->window = window_->Handle();
    // The thread holds the shared state itself: should it outlive the bounded wait at exit, it
    // finds the queue and the table still there, and no window to post to.
    std::shared_ptr<Shared> shared = shared_;
    thread_ = std::thread([shared] { shared->Run(); });
}

TIconWorker::~TIconWorker() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->stop = true;
        shared_->urgent.clear();
        shared_->background.clear();
    }
    shared_->wake.notify_all();
    bool ended = false;
    {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        ended = shared_->idle.wait_for(lock, std::chrono::milliseconds(kLetGoMilliseconds),
                                       [this] { return shared_->ended; });
        shared_->window = nullptr;
    }
    if (ended)
        thread_.join();
    else
        thread_.detach();
    deliver_ = nullptr; // what is still on its way is destroyed
    DropUndelivered();
}

void TIconWorker::Request(int index, IconRequest request, bool urgent) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        (urgent ? shared_->urgent : shared_->background).push_back({index, std::move(request)});
    }
    shared_->wake.notify_one();
}

void TIconWorker::HoldForPainting() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->held = true;
    shared_->heldUntil =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kHoldMilliseconds);
}

void TIconWorker::ResumeAfterPainting() {
    // Posted: it comes through once the painting that asks for it is over.
    ::PostMessageW(window_->Handle(), kPaintingDone, 0, 0);
}

void TIconWorker::Cancel() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->urgent.clear();
    shared_->background.clear();
}

bool TIconWorker::WaitIdle(DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    return shared_->idle.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [this] { return !shared_->working; });
}

void TIconWorker::NewEpoch() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        ++shared_->epoch;
    }
    DropUndelivered();
}

bool TIconWorker::Idle() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return !shared_->working && shared_->urgent.empty() && shared_->background.empty() &&
           shared_->undelivered == 0;
}

void TIconWorker::DropUndelivered() {
    // Icons already posted are taken out of this thread's queue: those of an old epoch are
    // destroyed, and at the end nothing is left to arrive at a window that is gone.
    if (!window_ || !window_->Handle())
        return;
    MSG msg;
    while (::PeekMessageW(&msg, window_->Handle(), kIconArrived, kIconArrived, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

} // namespace tolvern
