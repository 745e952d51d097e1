// Makes the program's memory run out on cue: the test executable replaces the
// global operator new, and while a FailingAllocation is in scope the
// allocation of its thread that takes the total past the budget throws
// std::bad_alloc, once, as it would in a 32-bit process with a huge file.
#pragma once
#include <cstddef>

namespace testsupport {

class FailingAllocation {
public:
    explicit FailingAllocation(std::size_t budgetBytes);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
    // The failure happened.
    bool Failed() const;
};

}  // namespace testsupport
