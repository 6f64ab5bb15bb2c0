// What vellora_win_bench and its tick-counting hook library share.
#pragma once

namespace vellora::bench {

// The shared mapping that holds the count: one LONG.
constexpr const char* kTickCounterMapping = "Local\\VelloraBenchTicks";
// The hook library, beside the bench executable, and its hook procedure.
constexpr const char* kTickCounterLibrary = "vellora_tick_counter.dll";
constexpr const char* kTickCounterProc = "CountTicks";

}  // namespace vellora::bench
