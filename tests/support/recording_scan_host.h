#pragma once
// A scan host for engine tests: answers with fixed LNB settings (changeable between steps) and
// records what the engine reports.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "scan/probable_frequency_scan.h"
#include "scan/sweep_scan.h"
#include "scan/symbol_rate_finder.h"
#include "scan/symbol_rate_list_scan.h"

namespace quillox::test {

template <class Host>
class RecordingHost : public Host {
public:
    LnbSettings Lnb() override {
        ++lnbRequests;
        if (beforeLnb) beforeLnb(lnbRequests);
        return lnb;
    }
    void Log(const std::string& line) override { log.push_back(line); }
    void Progress(int percent) override {
        if (progress.empty() || progress.back() != percent) progress.push_back(percent);
    }

    LnbSettings lnb;
    std::function<void(int request)> beforeLnb;  // e.g. to change `lnb` from a given step on
    int lnbRequests = 0;
    std::vector<std::string> log;
    std::vector<int> progress;  // positions in order, repeats folded
};

struct RecordingSweepHost : RecordingHost<ProbableFrequencyScanHost> {
    void Hit(int32_t mhz) override { hits.push_back(mhz); }
    void Reading(int32_t mhz, double snr) override { readings.push_back({mhz, snr}); }
    std::vector<int64_t> hits;
    std::vector<std::pair<int32_t, double>> readings;  // (MHz, highest SNR) per step
};

struct RecordingListScanHost : RecordingHost<SymbolRateListScanHost> {
    void Found(const FoundTransponder& t) override { found.push_back(t); }
    std::vector<FoundTransponder> found;
};

// Answers `thresholdCode` and counts the requests.
struct RecordingFinderHost : RecordingHost<SymbolRateFinderHost> {
    int32_t SnrThresholdCode() override {
        ++thresholdRequests;
        return thresholdCode;
    }
    int32_t thresholdCode = 39;
    int thresholdRequests = 0;
};

// The second method's sweep: answers the fine-tuning question with `fineTuning`.
struct RecordingSweepScanHost : RecordingHost<SweepScanHost> {
    bool FineTuning() override { return fineTuning; }
    void Found(const FoundTransponder& t) override { found.push_back(t); }
    void Reading(int32_t polarityCode, int32_t mhz, int32_t quality) override {
        readings.push_back({polarityCode, mhz, quality});
    }
    bool fineTuning = false;
    std::vector<std::array<int32_t, 3>> readings;  // (polarity, MHz, highest quality) per step
    std::vector<FoundTransponder> found;
};

}  // namespace quillox::test
