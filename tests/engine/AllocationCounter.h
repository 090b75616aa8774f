#pragma once
// Counts the heap allocations that anything in the process makes while counting is on.

namespace allocation_counter {
void Start();
// Stops counting; the number of allocations since Start.
long Stop();
} // namespace allocation_counter
