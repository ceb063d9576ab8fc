// The median of a set of numbers, for the mesh checks' sense of scale.
#pragma once

#include <vector>

namespace radomeview {

// The element that would stand at size / 2 were the numbers sorted (the
// value std::nth_element gives), or 0 for none; the order of *v is left
// changed. No NaN among them.
double median(std::vector<double>* v);

}  // namespace radomeview
