#pragma once
// The found transponders as an initial-tuning file of the Linux DVB tools (the DVBV5 format that
// dvbv5-scan reads): one DVB-S entry per transponder line with delivery system, frequency,
// polarization, symbol rate and inner FEC, written through libdvbv5.
#include <cstdint>
#include <string>
#include <vector>

namespace quillox {

struct Dvbv5Export {
    bool ok = false;
    std::string error;  // why the file was not written
    int32_t written = 0;
    int32_t skipped = 0;  // lines that are no transponder line or have no known polarity
};

// The frequencies are those of the lines, the downlink without the LNB's oscillator; the file
// holds them in kHz and the symbol rates in symbols per second. A FEC the lines do not name
// ("0", empty or unknown) is written as AUTO. An empty list writes no file.
Dvbv5Export WriteDvbv5File(const std::string& path, const std::vector<std::string>& lines);

}  // namespace quillox
