// The full-screen run's screen rules: one window per monitor, and the pointer's first position.
#include "saver/app/screens.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora {
namespace {

const Rect kPrimaryScreen{0, 0, 1280, 1024};

TEST(SaverWindowAreas, OneWindowPerMonitorPrimaryFirst) {
    struct Case {
        const char* name;
        std::vector<MonitorArea> monitors;
        std::vector<Rect> windows;
    } cases[] = {
        {"one monitor: the screen, as ever", {{{0, 0, 1280, 1024}, true}}, {{0, 0, 1280, 1024}}},
        {"two side by side, different sizes",
         {{{0, 0, 1280, 1024}, true}, {{1280, 0, 2304, 768}, false}},
         {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}}},
        {"the primary listed second still comes first",
         {{{1280, 0, 2304, 768}, false}, {{0, 0, 1280, 1024}, true}},
         {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}}},
        {"left of and above the primary: negative coordinates",
         {{{0, 0, 1920, 1080}, true}, {{-1024, -200, 0, 568}, false}, {{0, -1080, 1920, 0}, false}},
         {{0, 0, 1920, 1080}, {-1024, -200, 0, 568}, {0, -1080, 1920, 0}}},
        {"a mirror of the primary gets no window",
         {{{0, 0, 1280, 1024}, true}, {{0, 0, 1280, 1024}, false}},
         {{0, 0, 1280, 1024}}},
        {"a monitor showing part of another gets no window",
         {{{0, 0, 1920, 1080}, true}, {{0, 0, 800, 600}, false}},
         {{0, 0, 1920, 1080}}},
        {"an overlap in x is trimmed off the later window",
         {{{0, 0, 1920, 1080}, true}, {{1800, 0, 3720, 1080}, false}},
         {{0, 0, 1920, 1080}, {1920, 0, 3720, 1080}}},
        {"an overlap in y is trimmed off the later window",
         {{{0, 0, 1920, 1080}, true}, {{0, -1000, 1920, 80}, false}},
         {{0, 0, 1920, 1080}, {0, -1000, 1920, 0}}},
        {"a corner overlap leaves no rectangle: both windows keep their monitors",
         {{{0, 0, 1920, 1080}, true}, {{1800, 1000, 3720, 2080}, false}},
         {{0, 0, 1920, 1080}, {1800, 1000, 3720, 2080}}},
        {"empty monitors are left out",
         {{{0, 0, 0, 0}, false}, {{0, 0, 1280, 1024}, true}, {{1280, 0, 1280, 768}, false}},
         {{0, 0, 1280, 1024}}},
        {"no primary flagged: the system's order", {{{1280, 0, 2304, 768}, false}, {{0, 0, 1280, 1024}, false}},
         {{1280, 0, 2304, 768}, {0, 0, 1280, 1024}}},
        {"no monitor listed: the primary screen", {}, {kPrimaryScreen}},
        {"only empty monitors: the primary screen", {{{5, 5, 5, 9}, true}}, {kPrimaryScreen}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaverWindowAreas(c.monitors, kPrimaryScreen), c.windows) << c.name;
    }
    EXPECT_TRUE(SaverWindowAreas({}, Rect{}).empty()) << "nothing to cover at all";
}

TEST(PointerWatch, OnlyTheRestingPositionIsAllowed) {
    struct Step {
        ScreenPoint at;
        bool ends;
    };
    struct Case {
        const char* name;
        bool rests;  // the run knows where the pointer rests at its start
        ScreenPoint rest;
        std::vector<Step> steps;
    } cases[] = {
        {"resting on the second monitor: one pixel in x ends it", true, {1800, 400},
         {{{1800, 400}, false}, {{1800, 400}, false}, {{1801, 400}, true}}},
        {"one pixel in y", true, {1800, 400}, {{{1800, 399}, true}}},
        {"the first report elsewhere ends it: the pointer moved since the start", true, {640, 512},
         {{{2000, 300}, true}}},
        {"negative coordinates are positions like any other", true, {-1, -1},
         {{{-1, -1}, false}, {{0, -1}, true}}},
        {"without a known start the first report is only recorded", false, {},
         {{{40, 30}, false}, {{40, 30}, false}, {{41, 30}, true}}},
        {"the recorded position is never updated", false, {},
         {{{-1, -1}, false}, {{7, 7}, true}, {{7, 7}, true}}},
    };
    for (const Case& c : cases) {
        PointerWatch watch;
        if (c.rests) watch.Rest(c.rest);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            EXPECT_EQ(watch.EndsRun(c.steps[i].at), c.steps[i].ends) << c.name << ", report " << i;
        }
    }
}

}  // namespace
}  // namespace vellora
