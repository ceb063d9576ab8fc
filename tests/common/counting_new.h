// Allocation counting for tests and benchmarks: linking counting_new.cpp into
// an executable replaces its global operator new with one that counts.
#pragma once

namespace counting_new {

// Allocations through operator new since the process started.
long allocations();

}  // namespace counting_new
