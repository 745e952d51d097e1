#include "framework/rules/GuardRules.h"

#include <algorithm>

uint32_t TimeLeftMs(uint32_t start, uint32_t now, uint32_t spanMs) {
    // Unsigned subtraction: right across the tick's wrap.
    const uint32_t elapsed = now - start;
    return elapsed >= spanMs ? 0 : spanMs - elapsed;
}

GuardStep GuardRule::BeforeConnect(uint32_t now) {
    GuardStep step;
    if (m_refused) {
        step.failure = GuardFailure::Aborted;
        return step;
    }
    step.waitMs = std::min(m_connectTimeoutMs, RemainingMs(now));
    if (step.waitMs == 0) step.failure = GuardFailure::TimedOut;
    else m_connectTimedOut = false;
    return step;
}

GuardStep GuardRule::IoStep(uint32_t now) const {
    GuardStep step;
    const uint32_t left = RemainingMs(now);
    if (left == 0) step.failure = GuardFailure::TimedOut;
    // A socket time-out of 0 would mean none at all.
    else step.waitMs = std::max<uint32_t>(std::min(left, m_ioTimeoutMs), 1);
    return step;
}

GuardStep GuardRule::BeforeReceive(uint32_t now, std::size_t length) {
    if (m_refused) return {GuardFailure::Aborted};
    if (m_budget == 0) {
        m_budgetSpent = true;
        return {GuardFailure::Aborted};
    }
    GuardStep step = IoStep(now);
    step.length = std::min(length, m_budget);
    return step;
}

GuardStep GuardRule::BeforeSend(uint32_t now) {
    if (m_refused) return {GuardFailure::Aborted};
    return IoStep(now);
}

void GuardRule::Received(int got, bool peek) {
    if (got > 0 && !peek) m_budget -= static_cast<std::size_t>(got);
}

void GuardRule::SetReceiveBudget(std::size_t bytes) {
    m_budget = bytes;
    m_budgetSpent = false;
}

void GuardRule::Resume() {
    m_refused = false;
    m_budget = kNoBudget;
    m_budgetSpent = false;
    m_ioTimedOut = false;
}
