// Where the tickers, the commands, a close request and a running pass meet.
#pragma once

#include <algorithm>
#include <cstdint>

namespace norvale {

enum class PollingPhase : std::int8_t {
    Idle,      // no pass running
    Running,   // a pass is running
    Stopping,  // the running pass has been asked to stop after its current brand
};

// Changed only through the member functions below, each named for the event that causes it.
class PollingState {
public:
    static constexpr std::int16_t kWaitSecondsCap = 10000;
    static constexpr std::int16_t kLoadSecondsCap = 32767;  // held there rather than wrapping

    PollingPhase Phase() const { return phase_; }
    std::int16_t WaitSeconds() const { return waitSeconds_; }
    std::int16_t WaitLimit() const { return waitLimit_; }
    std::int16_t LoadSeconds() const { return loadSeconds_; }
    // A close was asked for during a pass: the pass closes the window when it stops.
    bool QuitPending() const { return quitPending_; }
    // Requests are skipped, read at every request.
    bool Offline() const { return offline_; }
    // The window has been closed; a pass that finds this touches nothing more.
    bool WindowClosed() const { return windowClosed_; }

    // A pass begins: running, load time from 0.
    void BeginPass() {
        phase_ = PollingPhase::Running;
        loadSeconds_ = 0;
    }
    // A pass ended, completed or stopped.
    void EndPass() { phase_ = PollingPhase::Idle; }
    // "RSS停止": a running pass stops after its current brand.
    void RequestStop() {
        if (phase_ == PollingPhase::Running) phase_ = PollingPhase::Stopping;
    }
    // A close refused during a pass: the pass stops before its next request, then closes.
    void RequestStopAndQuit() {
        phase_ = PollingPhase::Stopping;
        quitPending_ = true;
    }
    void ToggleOffline() { offline_ = !offline_; }
    void MarkWindowClosed() { windowClosed_ = true; }

    // One second of the wait ticker, held at the cap.
    void CountWaitSecond() { waitSeconds_ = static_cast<std::int16_t>(std::min<int>(waitSeconds_ + 1, kWaitSecondsCap)); }
    // One second of the load ticker, held at the cap.
    void CountLoadSecond() { loadSeconds_ = static_cast<std::int16_t>(std::min<int>(loadSeconds_ + 1, kLoadSecondsCap)); }
    // The wait ticker starts a pass: the wait is counted again from 0.
    void RestartWait() { waitSeconds_ = 0; }
    // "RSS開始": above any limit, so the first pass begins at the next wait tick.
    void WaitNoLonger() { waitSeconds_ = kWaitSecondsCap; }
    void SetWaitLimit(std::int16_t seconds) { waitLimit_ = seconds; }

private:
    PollingPhase phase_ = PollingPhase::Idle;
    std::int16_t waitSeconds_ = 0;  // never above 10000
    std::int16_t waitLimit_ = 0;    // never below 0
    std::int16_t loadSeconds_ = 0;
    bool quitPending_ = false;
    bool offline_ = false;
    bool windowClosed_ = false;
};

}  // namespace norvale
