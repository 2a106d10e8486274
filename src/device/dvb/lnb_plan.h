#pragma once
// Pure arithmetic of a DVB-S tuning: the IF plan, the LNB control values and the FEC mapping
// between the program's codes and the kernel's enums. No I/O here.
#include <linux/dvb/frontend.h>

#include <cstdint>
#include <optional>

namespace quillox::dvb {

// The intermediate frequencies every supported frontend accepts.
constexpr int32_t kIfMinMhz = 950;
constexpr int32_t kIfMaxMhz = 2150;

struct IfPlan {
    uint32_t ifKhz;  // what DTV_FREQUENCY takes for satellite systems
    bool inverted;   // LOF above the downlink (C band): the IF spectrum is mirrored
};

// IF = |downlink - LOF|; nullopt when it falls outside [minKhz, maxKhz].
std::optional<IfPlan> PlanIf(int32_t downlinkMhz, int32_t lofMhz,
                             uint32_t minKhz = kIfMinMhz * 1000u,
                             uint32_t maxKhz = kIfMaxMhz * 1000u);

// Downlink MHz (rounded to the nearest) of an IF the demodulator reports: LOF + IF, or LOF - IF
// when inverted.
int32_t DownlinkMhzOf(uint32_t ifKhz, int32_t lofMhz, bool inverted);

// Vertical -> 13 V, horizontal -> 18 V, anything else (OFF) -> no LNB power.
fe_sec_voltage VoltageOf(int32_t polarityCode);

// DiSEqC framing bytes: from master, no reply wanted; first transmission or a repeat.
constexpr uint8_t kDiseqcFirstFraming = 0xE0;
constexpr uint8_t kDiseqcRepeatFraming = 0xE1;

bool IsCommittedSwitch(int32_t diseqcCode);  // Pos A/B - Opt A/B
bool IsToneBurst(int32_t diseqcCode);        // Simple A / Simple B

// DiSEqC 1.0 "write N0": E0 10 38 Fx with option/position from the code, 0x02 for horizontal and
// 0x01 for the high band (22 kHz tone). nullopt for codes that are not a committed switch.
std::optional<dvb_diseqc_master_cmd> CommittedSwitchCommand(int32_t diseqcCode, bool horizontal,
                                                            bool highBand);

fe_sec_mini_cmd BurstOf(int32_t diseqcCode);  // Simple A -> SEC_MINI_A, Simple B -> SEC_MINI_B

// FEC code 1..6 to the kernel's rate; nullopt for codes outside the table.
std::optional<fe_code_rate> KernelFecOf(int32_t fecCode);
// Kernel rate read back to a code; fec::kNoCode for rates the program has no code for (NONE,
// 6/7 and the DVB-S2 rates other than 1/2, 2/3, 3/4, 5/6).
int32_t FecCodeOfKernel(uint32_t rate);

}  // namespace quillox::dvb
