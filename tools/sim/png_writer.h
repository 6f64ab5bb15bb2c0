// Pictures of the window image for the simulator: 8-bit RGB PNG files.
#pragma once

#include <string>

namespace vellora {
class SoftCanvas;
}

namespace vellora::simtool {

// Writes the canvas's pixels to path. On failure returns false with a one-line reason in error
// (a partly written file may be left behind).
bool WritePng(const SoftCanvas& canvas, const std::string& path, std::string& error);

}  // namespace vellora::simtool
