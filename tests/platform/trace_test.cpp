#include "platform/trace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/speed_counter.h"
#include "trace_capture.h"

namespace platform {
namespace {

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

TEST(Trace, LinesReachAnInstalledSinkOnly) {
    EXPECT_EQ(Trace("before %d", 1), 0);
    {
        TraceCapture capture;
        Trace("Draw Maps %d", 3);
        Trace("ZoomResolution=%f", 12.5);
        {
            VlmSpeedCounter counter("Some::Work");
            EXPECT_GE(counter.ElapsedTicks(), 0);
        }
        EXPECT_THAT(capture.Lines(),
                    ElementsAre("Draw Maps 3", "ZoomResolution=12.500000",
                                MatchesRegex("TickCounts at Some::Work = [0-9]+")));
    }
    TraceCapture later;
    Trace("after");
    EXPECT_THAT(later.Lines(), ElementsAre("after")) << "the first sink went with its capture";
}

}  // namespace
}  // namespace platform
