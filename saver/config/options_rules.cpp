#include "saver/config/options_rules.h"

#include <cstdio>

namespace vellora {

namespace {

// Each description is the name in double quotes, a blank and the body; two blanks follow each
// full stop that ends a sentence. The last is named "Random", not the list's "Random Scenario".
constexpr const char* kDescriptions[kScenarioChoices] = {
    "\"Just Bounce\" simply lets the balls bounce off of each other.  Collisions between balls do not change "
    "any attributes of the balls.",
    "\"Solo Good vs. Evil\" One ball, green with a white outline, is good, and a red ball with white outline is "
    "evil.  When either ball collides with another ball, it brings the other ball to its side by the designated "
    "degree.  The other ball turns red when evil, or green when good.",
    "\"Good vs. Evil\" Like the solo game above, except when the other ball is completely turned good or evil, "
    "that ball now corrupts other balls.",
    "\"Decay vs. Health\" The green-with-white-outline ball heals, and the red-with-white-outline ball decays "
    "the other balls they hit.  When balls decay, they become dimmer.  They die when they've turned completely "
    "black.",
    "\"Decay\" The red-with-white-outline ball decays any ball it hits.  Eventually only the red ball will "
    "remain.",
    "\"All Decay\" All collisions cause the balls to decay.  It's good to set Degrees to a high value so the "
    "balls last longer on this option.",
    "\"Random\" The computer will select one of the scenarios for you.",
};

}  // namespace

std::string ValueBoxText(Setting id, std::int32_t value) {
    char text[64];
    if (id == Setting::Gravity)
        std::snprintf(text, sizeof text, "%1.2f", value * DefOf(id).unit);
    else
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

const char* ScenarioDescription(int index) {
    if (index < 0 || index >= kScenarioChoices) return nullptr;
    return kDescriptions[index];
}

Crowding CheckCrowding(const StoredSettings& values, std::int32_t screenWidth, std::int32_t screenHeight) {
    // In double precision, exact for every value a slider can hold: a value that reached the store
    // by other means must not overflow or wrap round into "accepted".
    const double n = values.Get(Setting::NumBalls);
    const double r = values.Get(Setting::BallSize);
    if (values.Get(Setting::Gravity) != 0) {
        return 2 * r * n < screenWidth ? Crowding::Accepted : Crowding::SubFrameCollisions;
    }
    const double screen = static_cast<double>(screenWidth) * screenHeight;
    return 0.9 * screen > 4 * n * r * r ? Crowding::Accepted : Crowding::FillsScreen;
}

const char* CrowdingMessage(Crowding crowding) {
    switch (crowding) {
    case Crowding::SubFrameCollisions:
        return "Please decrease the number of balls or decrease their radius.  Currently, you've specified "
               "parameters that guarantee multiple sub-frame collisions, and that might not be a good idea.";
    case Crowding::FillsScreen:
        return "Please decrease the number of balls or decrease their radius.  Currently, you've specified "
               "parameters that practically fill the screen with balls, and that might not be a good idea.";
    case Crowding::Accepted:
        break;
    }
    return nullptr;
}

}  // namespace vellora
