#pragma once
// The SNR thresholds that the hidden threshold fields select. A reading above the threshold
// earns a try the extra dwell before its transponder is read.
#include <cstdint>

namespace quillox {

// Code 23 selects 3.6 dB, 39 selects 6.0 dB; any other code 0.0 dB.
inline double SnrThresholdOf(int32_t code) {
    if (code == 23) return 3.6;
    if (code == 39) return 6.0;
    return 0.0;
}

}  // namespace quillox
