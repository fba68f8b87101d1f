// A switch for the test binary's operator new (support/failing_new.cpp).
#pragma once

namespace testing_support {
// From now on every operator new fails (and calls the new-handler, as the standard one does).
void FailEveryAllocation(bool on);
}  // namespace testing_support
