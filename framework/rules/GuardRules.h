// What the socket guard decides, apart from the socket calls it makes: how
// long a call may wait, how much a receive may take, and when a call fails
// at once instead. Times are on a 32-bit millisecond tick that wraps.
#pragma once
#include <cstddef>
#include <cstdint>

// How a guarded call fails without reaching the socket. The guard then also
// shuts that socket down: the connection is of no further use.
enum class GuardFailure { None, Aborted, TimedOut };

// Milliseconds left of a span of spanMs that began at tick start.
uint32_t TimeLeftMs(uint32_t start, uint32_t now, uint32_t spanMs);

// The guard that acts on a socket call: the innermost one living on the
// calling thread, none while the hooks are off. A guard keeps no list of
// sockets: it owns none and acts on whichever one its thread's call uses.
template <class Guard>
Guard* ActingGuard(bool hooksEnabled, Guard* innermostOnThread) {
    return hooksEnabled ? innermostOnThread : nullptr;
}

// What one guarded call is to do before it reaches the socket.
struct GuardStep {
    GuardFailure failure = GuardFailure::None;
    uint32_t waitMs = 0;      // connect: the wait for it; receive and send: the time-out to set
    std::size_t length = 0;   // receive: the most bytes to ask for
};

class GuardRule {
public:
    static constexpr std::size_t kNoBudget = static_cast<std::size_t>(-1);

    GuardRule(uint32_t connectTimeoutMs, uint32_t ioTimeoutMs, uint32_t start, uint32_t overallMs)
        : m_connectTimeoutMs(connectTimeoutMs), m_ioTimeoutMs(ioTimeoutMs), m_start(start), m_overallMs(overallMs) {}

    uint32_t RemainingMs(uint32_t now) const { return TimeLeftMs(m_start, now, m_overallMs); }

    GuardStep BeforeConnect(uint32_t now);
    GuardStep BeforeReceive(uint32_t now, std::size_t length);
    GuardStep BeforeSend(uint32_t now);
    // What the socket call that the step let through came to.
    void ConnectWaitEnded(bool timedOut) { m_connectTimedOut = timedOut; }
    void Received(int got, bool peek);
    void IoEnded(bool timedOut) { m_ioTimedOut = timedOut; }

    void SetReceiveBudget(std::size_t bytes);
    void Refuse() { m_refused = true; }
    void Resume();

    bool BudgetSpent() const { return m_budgetSpent; }
    bool ConnectTimedOut() const { return m_connectTimedOut; }
    bool IoTimedOut() const { return m_ioTimedOut; }

private:
    GuardStep IoStep(uint32_t now) const;

    uint32_t m_connectTimeoutMs;
    uint32_t m_ioTimeoutMs;
    uint32_t m_start;
    uint32_t m_overallMs;
    std::size_t m_budget = kNoBudget;
    bool m_refused = false;
    bool m_budgetSpent = false;
    bool m_connectTimedOut = false;
    bool m_ioTimedOut = false;
};
