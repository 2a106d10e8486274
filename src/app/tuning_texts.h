#pragma once
// The window's texts of the tuning codes (base/tuning_code_values.h): the combo boxes' items, the
// status panel's texts and the band radios' defaults. Texts map to codes by exact,
// case-sensitive comparison; code-to-text lookups return nullptr for unknown codes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillox {

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
