#pragma once
// Codes of the tuning values and their user-visible texts. Texts map to codes by exact,
// case-sensitive comparison; code-to-text lookups return nullptr for unknown codes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Items of the combo boxes, in display order.
const std::vector<std::string>& PolarityItems();  // "VERTICAL", "HORIZONTAL"
const std::vector<std::string>& FecItems();       // "1/2" ... "7/8", "AUTO"
const std::vector<std::string>& ToneItems();      // "None", "22 KHz", "33 KHz", "44 KHz"
const std::vector<std::string>& DiseqcItems();    // "None", "Simple A", ... "Pos B - Opt B"

// Text to code. Polarity and FEC have no fallback; tone and DiSEqC map unknown texts to 0.
std::optional<int32_t> PolarityCodeOf(const std::string& text);  // also "OFF" -> 10
std::optional<int32_t> FecCodeOf(const std::string& text);
int32_t ToneCodeOf(const std::string& text);
int32_t DiseqcCodeOf(const std::string& text);

// Code to text as the status panel shows it; nullptr for a code outside the table.
const char* PolarityText(int32_t code);
const char* FecText(int32_t code);
const char* ToneText(int32_t code);
const char* DiseqcText(int32_t code);

// Pieces of a transponder list line: "H"/"V"/"?" and "12".."78", "0" (AUTO), "" (unknown).
const char* PolarityLetter(int32_t code);
const char* TransponderFecText(int32_t code);

enum class Band { KuLinear, C, Custom };

struct BandDefaults {
    const char* lofLow;
    const char* lofSwitch;
    const char* lofHigh;
    int32_t minMhz;  // valid downlink frequencies of the band, inclusive
    int32_t maxMhz;
};
// Ku-Linear 9750/11700/10600, 10700..12750; C 5150/0/5150, 3400..4200; Custom: LOFs kept, >= 1.
BandDefaults DefaultsOf(Band band);
bool FrequencyInBand(Band band, int32_t mhz);

}  // namespace quillox
