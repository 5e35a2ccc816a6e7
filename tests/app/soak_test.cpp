// A short soak of the real program: 2,000 presses of F6 to F12, every one
// opening its target once, and the program no bigger afterwards, holding no
// more descriptors and leaving no process behind. bench/run-soak runs the
// same with 100,000 presses.
#include "soak.h"

#include <gtest/gtest.h>

using namespace vantrel::test;

namespace {

TEST(Soak, TwoThousandPressesOpenTwoThousandTimesAndLeaveNothingBehind)
{
    const SoakResult result = runSoak(VANTREL_EXECUTABLE, TRAYER_EXECUTABLE, 2000);
    // A leak of a few hundred bytes a press shows beyond this.
    EXPECT_EQ(soakFaults(result, 512), std::vector<std::string>{});
}

} // namespace
