#include "device/dvb/lnb_plan.h"

#include <cstdlib>

#include "base/tuning_code_values.h"

namespace quillox::dvb {

std::optional<IfPlan> PlanIf(int32_t downlinkMhz, int32_t lofMhz, uint32_t minKhz,
                             uint32_t maxKhz) {
    int64_t ifKhz = std::llabs(int64_t{downlinkMhz} - lofMhz) * 1000;
    if (ifKhz < minKhz || ifKhz > maxKhz) return std::nullopt;
    return IfPlan{static_cast<uint32_t>(ifKhz), lofMhz > downlinkMhz};
}

int32_t DownlinkMhzOf(uint32_t ifKhz, int32_t lofMhz, bool inverted) {
    int64_t lofKhz = int64_t{lofMhz} * 1000;
    int64_t khz = inverted ? lofKhz - ifKhz : lofKhz + ifKhz;
    // Round half away from zero so that 10719.5 MHz reads 10720.
    int64_t mhz = khz >= 0 ? (khz + 500) / 1000 : -((-khz + 500) / 1000);
    return static_cast<int32_t>(mhz);
}

fe_sec_voltage VoltageOf(int32_t polarityCode) {
    if (polarityCode == polarity::kVertical) return SEC_VOLTAGE_13;
    if (polarityCode == polarity::kHorizontal) return SEC_VOLTAGE_18;
    return SEC_VOLTAGE_OFF;
}

bool IsCommittedSwitch(int32_t diseqcCode) {
    return diseqcCode >= diseqc::kPosAOptA && diseqcCode <= diseqc::kPosBOptB;
}

bool IsToneBurst(int32_t diseqcCode) {
    return diseqcCode == diseqc::kSimpleA || diseqcCode == diseqc::kSimpleB;
}

std::optional<dvb_diseqc_master_cmd> CommittedSwitchCommand(int32_t diseqcCode, bool horizontal,
                                                            bool highBand) {
    if (!IsCommittedSwitch(diseqcCode)) return std::nullopt;
    // Codes 3..6 run Pos A-Opt A, Pos B-Opt A, Pos A-Opt B, Pos B-Opt B: position is bit 2 of
    // the data byte, option bit 3.
    int index = diseqcCode - diseqc::kPosAOptA;
    uint8_t data = 0xF0 | static_cast<uint8_t>(index << 2);
    if (horizontal) data |= 0x02;
    if (highBand) data |= 0x01;
    dvb_diseqc_master_cmd cmd{};
    cmd.msg[0] = kDiseqcFirstFraming;
    cmd.msg[1] = 0x10;  // any LNB, switcher or SMATV
    cmd.msg[2] = 0x38;  // write N0: committed port group
    cmd.msg[3] = data;
    cmd.msg_len = 4;
    return cmd;
}

fe_sec_mini_cmd BurstOf(int32_t diseqcCode) {
    return diseqcCode == diseqc::kSimpleB ? SEC_MINI_B : SEC_MINI_A;
}

std::optional<fe_code_rate> KernelFecOf(int32_t fecCode) {
    switch (fecCode) {
        case fec::k1_2:
            return FEC_1_2;
        case fec::k2_3:
            return FEC_2_3;
        case fec::k3_4:
            return FEC_3_4;
        case fec::k5_6:
            return FEC_5_6;
        case fec::k7_8:
            return FEC_7_8;
        case fec::kAuto:
            return FEC_AUTO;
        default:
            return std::nullopt;
    }
}

int32_t FecCodeOfKernel(uint32_t rate) {
    switch (rate) {
        case FEC_1_2:
            return fec::k1_2;
        case FEC_2_3:
            return fec::k2_3;
        case FEC_3_4:
            return fec::k3_4;
        case FEC_5_6:
            return fec::k5_6;
        case FEC_7_8:
            return fec::k7_8;
        case FEC_AUTO:
            return fec::kAuto;  // the driver could not tell
        default:
            return fec::kNoCode;
    }
}

}  // namespace quillox::dvb
