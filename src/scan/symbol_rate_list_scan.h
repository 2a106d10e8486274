#pragma once
// The symbol-rate list scan: every probable frequency of one polarity is tried with the symbol
// rates of the list, in list order, until the tuner reports a signal; the transponder it then
// reports is the result for that frequency.
#include <cstdint>
#include <string>
#include <vector>

#include "device/tuner_device.h"
#include "platform/clock.h"
#include "scan/scan_host.h"

namespace quillox {

struct SymbolRateListScanParams {
    // Lines of the two lists as typed; each is converted when its turn comes, so a line that is
    // no integer ends the job there (ConversionError) and keeps what was found before it.
    std::vector<std::string> frequencies;  // MHz
    std::vector<std::string> symbolRates;  // kS/s, tried in this order
    int32_t delayMs = 1500;                // dwell of every attempt
    int32_t snrThresholdCode = 39;         // 23 = 3.6, 39 = 6.0, other codes 0.0
    int32_t extraSettleMs = 600;           // waited when the SNR is above the threshold
};

class SymbolRateListScanHost : public TransponderScanHost {};

// Runs the scan on the polarity the tuner holds. Progress is shared out per frequency and per
// attempt and ends at 100. Throws JobStopped when the job is stopped.
void RunSymbolRateListScan(TunerDevice& tuner, Clock& clock, const SymbolRateListScanParams& params,
                           SymbolRateListScanHost& host);

}  // namespace quillox
