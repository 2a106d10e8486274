#include "app/tuning_texts.h"

#include <algorithm>
#include <climits>

#include "base/tuning_code_values.h"

namespace quillox {
namespace {

template <size_t N>
const char* Lookup(const char* const (&table)[N], int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= N) return nullptr;
    return table[index];
}

constexpr const char* kFecTexts[] = {nullptr, "1/2", "2/3", "3/4", "5/6", "7/8", "AUTO"};
constexpr const char* kToneTexts[] = {"None", "22 KHz", "33 KHz", "44 KHz"};
constexpr const char* kDiseqcTexts[] = {"None",          "Simple A",      "Simple B",
                                        "Pos A - Opt A", "Pos B - Opt A", "Pos A - Opt B",
                                        "Pos B - Opt B"};

int32_t IndexOf(const std::vector<std::string>& items, const std::string& text) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int32_t>(i);
    return -1;
}

}  // namespace

const std::vector<std::string>& PolarityItems() {
    static const std::vector<std::string> items{"VERTICAL", "HORIZONTAL"};
    return items;
}
const std::vector<std::string>& FecItems() {
    static const std::vector<std::string> items{"1/2", "2/3", "3/4", "5/6", "7/8", "AUTO"};
    return items;
}
const std::vector<std::string>& ToneItems() {
    static const std::vector<std::string> items(std::begin(kToneTexts), std::end(kToneTexts));
    return items;
}
const std::vector<std::string>& DiseqcItems() {
    static const std::vector<std::string> items(std::begin(kDiseqcTexts), std::end(kDiseqcTexts));
    return items;
}

std::optional<int32_t> PolarityCodeOf(const std::string& text) {
    if (text == "HORIZONTAL") return polarity::kHorizontal;
    if (text == "VERTICAL") return polarity::kVertical;
    if (text == "OFF") return polarity::kOff;
    return std::nullopt;
}

std::optional<int32_t> FecCodeOf(const std::string& text) {
    int32_t i = IndexOf(FecItems(), text);
    if (i < 0) return std::nullopt;
    return i + 1;
}

int32_t ToneCodeOf(const std::string& text) {
    return std::max(0, IndexOf(ToneItems(), text));
}
int32_t DiseqcCodeOf(const std::string& text) {
    return std::max(0, IndexOf(DiseqcItems(), text));
}

const char* PolarityText(int32_t code) {
    switch (code) {
        case polarity::kHorizontal:
            return "HORIZONTAL";
        case polarity::kVertical:
            return "VERTICAL";
        case polarity::kOff:
            return "OFF";
        default:
            return nullptr;
    }
}
const char* FecText(int32_t code) {
    return Lookup(kFecTexts, code);
}
const char* ToneText(int32_t code) {
    return Lookup(kToneTexts, code);
}
const char* DiseqcText(int32_t code) {
    return Lookup(kDiseqcTexts, code);
}

BandDefaults DefaultsOf(Band band) {
    switch (band) {
        case Band::KuLinear:
            return {"9750", "11700", "10600", 10700, 12750};
        case Band::C:
            return {"5150", "0", "5150", 3400, 4200};
        case Band::Custom:
            break;
    }
    return {nullptr, nullptr, nullptr, 1, INT32_MAX};
}

bool FrequencyInBand(Band band, int32_t mhz) {
    BandDefaults d = DefaultsOf(band);
    return mhz >= d.minMhz && mhz <= d.maxMhz;
}

}  // namespace quillox
