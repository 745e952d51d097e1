#include <gtest/gtest.h>

#include "framework/rules/GuardRules.h"

namespace {
constexpr uint32_t kWrap = 0xFFFFFF00u;   // 256 ms before the tick wraps
constexpr GuardFailure kNone = GuardFailure::None, kAborted = GuardFailure::Aborted, kTimedOut = GuardFailure::TimedOut;
}  // namespace

TEST(GuardRule, TimeLeftHoldsAcrossTheTickWrap) {
    EXPECT_EQ(TimeLeftMs(1000, 1499, 500), 1u);
    EXPECT_EQ(TimeLeftMs(1000, 1500, 500), 0u);
    EXPECT_EQ(TimeLeftMs(kWrap, 200, 500), 44u);   // 456 ms gone, across the wrap
    EXPECT_EQ(TimeLeftMs(kWrap, 300, 500), 0u);
}

// A connect waits its own time-out, receives and sends get theirs as the
// socket's (never 0, which would mean none), all cut to what is left.
TEST(GuardRule, EachCallWaitsTheShorterOfItsTimeOutAndWhatIsLeft) {
    enum Call { Connect, Receive, Send };
    const struct {
        Call call;
        uint32_t timeoutMs, elapsedMs;
        GuardFailure failure;
        uint32_t waitMs;
    } rows[] = {
        {Connect, 300, 0, kNone, 300},    {Connect, 300, 800, kNone, 200}, {Connect, 300, 1000, kTimedOut, 0},
        {Connect, 0, 0, kTimedOut, 0},    {Receive, 300, 900, kNone, 100}, {Receive, 0, 0, kNone, 1},
        {Receive, 300, 1000, kTimedOut, 0}, {Send, 300, 0, kNone, 300},   {Send, 0, 999, kNone, 1},
        {Send, 300, 1000, kTimedOut, 0},
    };
    for (const auto& r : rows) {
        GuardRule rule(r.timeoutMs, r.timeoutMs, kWrap, 1000);
        rule.ConnectWaitEnded(true);
        const uint32_t now = kWrap + r.elapsedMs;
        GuardStep step = r.call == Connect ? rule.BeforeConnect(now) : r.call == Receive ? rule.BeforeReceive(now, 1)
                                                                                        : rule.BeforeSend(now);
        EXPECT_EQ(step.failure, r.failure) << r.call << " " << r.timeoutMs << " " << r.elapsedMs;
        EXPECT_EQ(step.waitMs, r.waitMs) << r.call << " " << r.timeoutMs << " " << r.elapsedMs;
        // Only a connect that goes ahead forgets the last one's time-out.
        EXPECT_EQ(rule.ConnectTimedOut(), r.call != Connect || r.failure != kNone);
    }
}

TEST(GuardRule, ReceivesTakeNoMoreThanTheBudgetAndFailOnceItIsSpent) {
    GuardRule rule(50, 50, 0, 1000);
    EXPECT_EQ(rule.BeforeReceive(0, 4096).length, 4096u);   // no budget yet
    rule.SetReceiveBudget(10);
    rule.Received(6, true);   // a peek takes nothing
    rule.Received(-1, false);
    EXPECT_EQ(rule.BeforeReceive(0, 4096).length, 10u);
    rule.Received(6, false);
    EXPECT_EQ(rule.BeforeReceive(0, 4096).length, 4u);
    rule.Received(4, false);
    EXPECT_FALSE(rule.BudgetSpent());
    EXPECT_EQ(rule.BeforeReceive(0, 4096).failure, kAborted);
    EXPECT_TRUE(rule.BudgetSpent());
    EXPECT_EQ(rule.BeforeSend(0).failure, kNone);
    rule.SetReceiveBudget(5);
    EXPECT_FALSE(rule.BudgetSpent());
}

// Refusal comes before the clock; resuming also lifts the budget.
TEST(GuardRule, RefusalFailsEveryCallUntilResumed) {
    GuardRule rule(50, 50, 0, 1000);
    rule.SetReceiveBudget(0);
    rule.BeforeReceive(0, 1);
    rule.IoEnded(true);
    rule.Refuse();
    for (uint32_t now : {0u, 2000u}) {
        EXPECT_EQ(rule.BeforeConnect(now).failure, kAborted);
        EXPECT_EQ(rule.BeforeReceive(now, 1).failure, kAborted);
        EXPECT_EQ(rule.BeforeSend(now).failure, kAborted);
    }
    rule.Resume();
    EXPECT_FALSE(rule.BudgetSpent() || rule.IoTimedOut());
    EXPECT_EQ(rule.BeforeConnect(0).failure, kNone);
    EXPECT_EQ(rule.BeforeReceive(0, 4096).length, 4096u);
    EXPECT_EQ(rule.BeforeSend(0).failure, kNone);
}

TEST(GuardRule, OnlyTheThreadsGuardActsAndOnlyWhileHooksAreOn) {
    int guard = 0;
    EXPECT_EQ(ActingGuard(true, &guard), &guard);
    EXPECT_EQ(ActingGuard(false, &guard), nullptr);
}
