// Counts heap allocations made through operator new while counting is switched on.
#pragma once

namespace vellora::test {

void StartCountingAllocations();
// Stops counting and answers how many allocations were made since the start.
long StopCountingAllocations();

}  // namespace vellora::test
