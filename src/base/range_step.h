#pragma once
// The stepping rule of every range loop of the scans.
#include <cstdint>

namespace quillox {

// The value after x in a loop from start to end by step: the last value worked on is always
// exactly `end`, also when the step does not divide the range. 64-bit so that a loop
// `while (x <= end)` ends even when end is the largest 32-bit value.
inline int64_t NextInRange(int64_t x, int64_t end, int64_t step) {
    if (x < end && x + step > end) x = end - step;
    return x + step;
}

}  // namespace quillox
