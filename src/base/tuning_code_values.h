#pragma once
// The numbers the program gives the tuning values: what the device is told, what the satellite
// tables and the transponder lists hold. Their texts and combo box items: app/tuning_texts.h.
#include <cstdint>

namespace quillox {

namespace polarity {
constexpr int32_t kHorizontal = 0;
constexpr int32_t kVertical = 1;
constexpr int32_t kOff = 10;  // LNB power off
}  // namespace polarity

namespace fec {
constexpr int32_t k1_2 = 1, k2_3 = 2, k3_4 = 3, k5_6 = 4, k7_8 = 5, kAuto = 6;
// A rate read back that has no code (DVB-S2 3/5, 8/9 ..., 6/7, none): no text, written empty.
constexpr int32_t kNoCode = 0;
}  // namespace fec

namespace tone {
constexpr int32_t kNone = 0, k22kHz = 1, k33kHz = 2, k44kHz = 3;
}

namespace diseqc {
constexpr int32_t kNone = 0, kSimpleA = 1, kSimpleB = 2, kPosAOptA = 3, kPosBOptA = 4,
                  kPosAOptB = 5, kPosBOptB = 6;
}

}  // namespace quillox
