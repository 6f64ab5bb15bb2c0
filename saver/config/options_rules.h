// What the options dialog decides, apart from showing it: what its value boxes say, the scenario
// descriptions, and the two checks that keep a setting from crowding the screen. The Windows
// dialog only shows these.
#pragma once

#include <cstdint>
#include <string>

#include "saver/config/settings.h"

namespace vellora {

// The value box beside a slider: the value in decimal, except "Gravity", which shows the
// acceleration in pixels per frame per frame with two decimals (20 shows "1.00").
std::string ValueBoxText(Setting id, std::int32_t value);

// The description of the scenario at a list index: the name in double quotes, a blank and the
// body. Null for an index that is not a scenario (no selection), which leaves the text as it was.
constexpr int kScenarioChoices = 7;  // the six scenarios and "Random Scenario"
const char* ScenarioDescription(int index);

// The checks on OK. With gravity, balls side by side must not span the screen's width; without
// it, the balls' squares must not cover nine tenths of the screen.
enum class Crowding { Accepted, SubFrameCollisions, FillsScreen };
Crowding CheckCrowding(const StoredSettings& values, std::int32_t screenWidth, std::int32_t screenHeight);
// The message for a refused setting, null for Accepted. All share the caption below.
const char* CrowdingMessage(Crowding crowding);
constexpr const char* kCrowdingCaption = "Please adjust parameters";

}  // namespace vellora
