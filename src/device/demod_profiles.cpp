#include "device/demod_profiles.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numeric>
#include <utility>

namespace quillox {
namespace {

// The rates broadcasters and feeds use, most common first: broadcast transponders, then the
// contribution feeds' 13333, 7200 and 6666 and the narrow SCPC rates.
constexpr std::array<int32_t, 22> kSearchRates = {
    27500, 22000, 30000, 29900, 28000, 27000, 26000, 24500, 23000, 20000, 15000,
    13333, 11000, 7200,  6666,  6111,  5632,  4340,  3214,  3000,  2604,  2000};

// The older QPSK chips report FE_HAS_LOCK once the Viterbi decoder is in sync, which happens
// around 2.5 dB below the C/N of error-free output (a pre-Viterbi error rate near 10^-1).
constexpr double kViterbiSyncBelowQefDb = 2.5;

DemodProfile Make(DemodFamily family, const DriverFacts& driver) {
    return {family, kViterbiSyncBelowQefDb, driver};
}

DemodProfile MakeS2(DemodFamily family, const DriverFacts& driver) {
    return {family, 0, driver};
}

// A conservative lock time where the driver shows none: what the simulated dish takes today,
// doubled below 5 MS/s as the device's lock timeouts are.
int32_t PickedLockMs(int32_t ms, uint32_t rate) {
    return rate < 5000000 ? 2 * ms : ms;
}

// The files named are below drivers/media/dvb-frontends/ of Linux 6.1.

// stv0299.c, stv0299_get_tune_settings: step SR/16000 kHz out to SR/2000 kHz, below 10 MS/s
// SR/32000 kHz out to 5 MHz; min_delay_ms from the card's configuration (100 ms in bsru6.h,
// bsbe1.h, eds1547.h). The derotator's own pull-in range: no figure in the driver; half a step,
// so the steps leave no gap. Lock time: no figure. stv0299_set_frontend only writes registers.
TuneFacts Stv0299At(uint32_t rate) {
    const bool slow = rate < 10000000;
    const uint32_t step = slow ? rate / 32000 : rate / 16000;
    return {.pollMs = 100,
            .stepKhz = step,
            .maxDriftKhz = slow ? 5000u : rate / 2000,
            .chipReachKhz = step / 2,
            .lockMs = PickedLockMs(400, rate),
            .blockingMs = 0};
}

// mt312.c, mt312_get_tune_settings: min_delay_ms 50, step_size 0, max_drift 0, so the core only
// alternates the inversion every 50 ms. Pull-in range and lock time: no figure in the driver.
// mt312_set_frontend writes registers without waiting (the VP310 re-initialises, without sleeps,
// when a tune crosses 30 MS/s).
TuneFacts Mt312At(uint32_t rate) {
    return {.pollMs = 50, .chipReachKhz = 3000, .lockMs = PickedLockMs(200, rate)};
}

// cx24123.c: cx24123_tune asks for *delay = HZ/10; cx24123_regdata sets register 0x0d "Force
// driver to shift until the maximum (+-10 MHz)". Lock time: no figure. cx24123_pll_writereg waits
// up to 40 ms three times per word and cx24123_pll_tune writes four words: up to about 0.5 s.
TuneFacts Cx24123At(uint32_t rate) {
    return {.pollMs = 100,
            .chipReachKhz = 10000,
            .chipReachFromDriver = true,
            .lockMs = PickedLockMs(150, rate),
            .blockingMs = 480};
}

// s5h1420.c, s5h1420_get_tune_settings: by rate band. Pull-in range and lock time: no figure.
// s5h1420_read_status busy-waits 200 ms (mdelay) when the chip has Viterbi but no sync (its
// "FEC 5/6 inversion" fix); the thread and every FE_READ_STATUS run it.
TuneFacts S5h1420At(uint32_t rate) {
    struct Band {
        uint32_t above;
        int32_t delayMs;
        uint32_t stepKhz, maxDriftKhz;
    };
    static constexpr Band kBands[] = {{20000000, 50, 2000, 8000},
                                      {12000000, 100, 1500, 9000},
                                      {8000000, 100, 1000, 8000},
                                      {4000000, 100, 500, 7000}};
    TuneFacts facts{.pollMs = 200,
                    .stepKhz = rate / 8000,
                    .lockMs = PickedLockMs(250, rate),
                    .blockingMs = 200};
    facts.maxDriftKhz = (rate > 2000000 ? 14 : 18) * facts.stepKhz;
    for (const Band& b : kBands) {
        if (rate > b.above) {
            facts.pollMs = b.delayMs;
            facts.stepKhz = b.stepKhz;
            facts.maxDriftKhz = b.maxDriftKhz;
            break;
        }
    }
    facts.chipReachKhz = facts.stepKhz / 2;
    return facts;
}

// stv090x.c: stv090x_search runs a cold search over search_range (10 MHz above 10 MS/s, else
// 5 MHz) centred on the frequency; the core repeats a failed search every HZ/2
// (dvb_frontend_thread, DVBFE_ALGO_CUSTOM). stv090x_get_lock_tmg gives the demodulator and FEC
// timeouts of a cold search. stv090x_algo waits 50 + 10 ms for the tuner; stv090x_get_coldlock
// waits a third of the demodulator timeout (half below 10 MS/s) and then, at 10 MS/s and above,
// the whole timeout once more, below that up to 12 carrier steps of 50 ms plus a third each.
TuneFacts Stv090xAt(uint32_t rate) {
    struct Band {
        uint32_t upTo;
        int32_t demodMs, fecMs;
    };
    static constexpr Band kBands[] = {{1000000, 4500, 1700}, {2000000, 2500, 1100},
                                      {5000000, 1000, 550},  {10000000, 700, 250},
                                      {20000000, 400, 130},  {UINT32_MAX, 300, 100}};
    Band band = kBands[0];
    for (const Band& b : kBands) {
        band = b;
        if (rate <= b.upTo) break;
    }
    const uint32_t rangeKhz = rate > 10000000 ? 10000 : 5000;
    int32_t searchMs = band.demodMs / 3 + band.demodMs;
    if (rate < 10000000) {
        const int32_t carStepKhz = rate <= 4000000 ? 1000 : rate <= 7000000 ? 2000 : 3000;
        const int32_t steps =
            std::min(12, 2 * (static_cast<int32_t>(rangeKhz) / carStepKhz / 2 + 1));
        searchMs = band.demodMs / 2 + steps * (50 + band.demodMs / 3);
    }
    return {.pollMs = 500,
            .chipReachKhz = rangeKhz / 2,
            .chipReachFromDriver = true,
            .lockMs = band.demodMs + band.fecMs,
            .lockFromDriver = true,
            .blockingMs = 60 + searchMs + band.fecMs};
}

// cx24116.c: cx24116_tune asks for *delay = HZ/5; cx24116_set_frontend hands the firmware a
// search range of CX24116_SEARCH_RANGE_KHZ (5000; whether that is the whole width or each side
// the driver does not say: taken as +-2.5 MHz), then polls the lock for up to 500 ms ("generally
// it occurs within 100ms"), twice for DVB-S2 with PILOT_AUTO (it tries both pilot settings).
TuneFacts Cx24116At(uint32_t) {
    return {.pollMs = 200,
            .chipReachKhz = 2500,
            .lockMs = 500,
            .lockFromDriver = true,
            .blockingMs = 1000};
}

DriverFacts Stv0299Facts() {
    DriverFacts d;
    d.name = "stv0299";
    d.source = "stv0299.c";
    d.frontendName = "ST STV0299 DVB-S";  // stv0299_ops.info
    d.readFec = true;                     // stv0299_get_frontend: stv0299_get_fec
    d.rateMin = 1000000;                  // stv0299_ops.info
    d.rateMax = 45000000;
    // symbol_rate_tolerance 500 ppm in stv0299_ops.info. The timing loop's offset register RTF
    // (signed 8 bits, stv0299_get_symbolrate) reaches SR/4096, about 244 ppm.
    d.rateTolerancePpm = 500;
    d.toleranceFromDriver = true;
    d.invertsItself = false;  // stv0299_set_frontend: INVERSION_AUTO is -EINVAL
    // stv0299_get_frontend: p->frequency += the derotator (registers 0x22/0x23) on the core's
    // cache; the rate from SFR plus RTF, rounded to 2 kS/s.
    d.readFrequency = KernelReadFrequency::RequestedPlusTwiceOffset;
    d.readRate = ReadBackRate::MeasuredTo2k;
    // stv0299_read_snr (registers 0x24/0x25) and stv0299_read_signal_strength (AGC2I 0x18/0x19,
    // x 5/4, clamped) read whatever the lock state; relative 0..65535.
    d.at = Stv0299At;
    return d;
}

DriverFacts Mt312Facts() {
    DriverFacts d;
    d.name = "mt312/zl10313";
    d.source = "mt312.c";
    d.frontendName = "Zarlink MT312 DVB-S";  // mt312_attach names the chip it found
    d.readFec = true;                        // mt312_get_frontend: mt312_get_code_rate
    d.rateMin = 90000000 / 128;              // mt312_ops.info: MT312_SYS_CLK / 128 and / 2
    d.rateMax = 90000000 / 2;
    // No symbol_rate_tolerance; SYM_RATE holds the rate in units of 3.9 kS/s
    // (mt312_set_frontend), the timing loop's reach is not in the driver: a conservative pick.
    d.rateTolerancePpm = 500;
    d.invertsItself = false;  // mt312_set_frontend: inversion beyond INVERSION_ON is -EINVAL
    // mt312_get_frontend sets inversion and FEC; mt312_get_symbol_rate computes the rate but never
    // stores it, and the frequency is not touched. mt312_read_snr (M_SNR_H) reads whatever the
    // lock state.
    d.strengthFull = 16383;  // mt312_read_signal_strength: the 14-bit AGC value
    d.at = Mt312At;
    return d;
}

DriverFacts Cx24123Facts() {
    DriverFacts d;
    d.name = "cx24123";
    d.source = "cx24123.c";
    d.frontendName = "Conexant CX24123/CX24109";  // cx24123_ops.info
    d.readFec = true;                             // cx24123_get_frontend: cx24123_get_fec
    d.rateMin = 1000000;                          // cx24123_ops.info
    d.rateMax = 45000000;
    d.rateTolerancePpm = 500;  // no figure (a rate estimator is on, register 0x46): a pick
    d.acquisition = Acquisition::HardwareTune;  // cx24123_get_algo
    d.invertsItself = true;                     // FE_CAN_INVERSION_AUTO; cx24123_set_inversion
    // cx24123_get_frontend: the frequency and rate set_frontend was given.
    d.snrMeaningful = false;  // cx24123_read_snr: "totally bogus"
    d.strengthFull = 65280;   // cx24123_read_signal_strength: register 0x3b << 8
    d.at = Cx24123At;
    return d;
}

DriverFacts S5h1420Facts() {
    DriverFacts d;
    d.name = "s5h1420";
    d.source = "s5h1420.c";
    d.frontendName = "Samsung S5H1420/PnpNetwork PN1010 DVB-S";  // s5h1420_ops.info
    d.readFec = true;     // s5h1420_get_frontend: s5h1420_getfec
    d.rateMin = 1000000;  // s5h1420_ops.info
    d.rateMax = 45000000;
    d.rateTolerancePpm = 500;  // "symbol_rate_tolerance = ???" (commented out): a pick
    d.invertsItself = true;    // FE_CAN_INVERSION_AUTO; s5h1420_setfec_inversion
    // s5h1420_get_frontend: tunedfreq plus the offset register; a zig-zag retune within
    // max_drift is a "simple tune" (s5h1420_set_frontend) that leaves tunedfreq at the first
    // frequency. The rate is the one set (s5h1420_getsymbolrate).
    d.readFrequency = KernelReadFrequency::RequestedPlusOffset;
    d.snr = Statistic::Missing;  // no read_snr in s5h1420_ops
    d.at = S5h1420At;
    return d;
}

DriverFacts Stv090xFacts() {
    DriverFacts d;
    d.name = "stv090x";
    d.source = "stv090x.c";
    d.frontendName = "STV090x Multistandard";    // stv090x_ops.info
    d.systems = kSysDvbS | kSysDvbS2 | kSysDss;  // stv090x_ops.delsys
    d.rateMin = 1000000;                         // stv090x_ops.info
    d.rateMax = 45000000;
    // stv090x_algo: a cold search scans 0.95..1.05 x the rate (stv090x_set_min_srate,
    // stv090x_set_max_srate).
    d.rateTolerancePpm = 50000;
    d.toleranceFromDriver = true;
    d.acquisition = Acquisition::CustomSearch;  // stv090x_frontend_algo
    d.invertsItself = true;                     // FE_CAN_INVERSION_AUTO
    // No get_frontend: the cache as the program set it.
    d.snr = Statistic::LockedOnly;  // stv090x_read_cnr: only with LOCK_DEFINITIF, 0..65535
    // stv090x_read_signal_strength: the AGC through a dBm table, (dBm + 100) x 65535 / 100.
    d.at = Stv090xAt;
    return d;
}

DriverFacts Cx24116Facts() {
    DriverFacts d;
    d.name = "cx24116";
    d.source = "cx24116.c";
    d.frontendName = "Conexant CX24116/CX24118";  // cx24116_ops.info
    d.systems = kSysDvbS | kSysDvbS2;             // cx24116_ops.delsys
    d.rateMin = 1000000;                          // cx24116_ops.info
    d.rateMax = 45000000;
    d.rateTolerancePpm = 500;  // the firmware gets the rate in kS/s; no figure: a pick
    d.acquisition = Acquisition::HardwareTune;  // cx24116_get_algo
    d.invertsItself = true;                     // FE_CAN_INVERSION_AUTO; cx24116_set_inversion
    // No get_frontend: the cache as the program set it. cx24116_read_snr: the quality register
    // as 0..65535 (or Es/N0 in 0.1 dB with the module parameter esno_snr=1), read whatever the
    // lock state; cx24116_read_signal_strength: the firmware's AGC reading, inverted.
    d.at = Cx24116At;
    return d;
}

constexpr DemodFamily kDriverFamilies[] = {DemodFamily::Stv0299, DemodFamily::Zarlink,
                                           DemodFamily::Cx24123, DemodFamily::S5h1420,
                                           DemodFamily::Stv090x, DemodFamily::Cx24116};

}  // namespace

int32_t LockTimeouts::For(DemodFamily family) const {
    switch (family) {
        case DemodFamily::Stv0299:
            return stv0299;
        case DemodFamily::Zarlink:
            return zarlink;
        case DemodFamily::Cx24123:
            return cx24123;
        case DemodFamily::S5h1420:
            return s5h1420;
        case DemodFamily::Other:
        case DemodFamily::Stv090x:  // the DVB-S2 families keep the common time for now
        case DemodFamily::Cx24116:
            break;
    }
    return other;
}

int32_t LockTimeouts::ForRate(DemodFamily family, int32_t ksps) const {
    const int32_t timeout = For(family);
    return ksps >= 5000 ? timeout : 2 * timeout;
}

std::span<const int32_t> SearchRatesKsps() {
    return kSearchRates;
}

const DemodProfile& DemodProfileOf(DemodFamily family) {
    static const DemodProfile stv0299 = Make(DemodFamily::Stv0299, Stv0299Facts());
    static const DemodProfile mt312 = Make(DemodFamily::Zarlink, Mt312Facts());
    static const DemodProfile cx24123 = Make(DemodFamily::Cx24123, Cx24123Facts());
    static const DemodProfile s5h1420 = Make(DemodFamily::S5h1420, S5h1420Facts());
    // The DVB-S2 families: no lock below the error-free C/N (LDPC's cliff is steep).
    static const DemodProfile stv090x = MakeS2(DemodFamily::Stv090x, Stv090xFacts());
    static const DemodProfile cx24116 = MakeS2(DemodFamily::Cx24116, Cx24116Facts());
    static const DemodProfile other{};
    switch (family) {
        case DemodFamily::Stv0299:
            return stv0299;
        case DemodFamily::Zarlink:
            return mt312;
        case DemodFamily::Cx24123:
            return cx24123;
        case DemodFamily::S5h1420:
            return s5h1420;
        case DemodFamily::Stv090x:
            return stv090x;
        case DemodFamily::Cx24116:
            return cx24116;
        case DemodFamily::Other:
            break;
    }
    return other;
}

std::optional<DemodFamily> FamilyNamed(std::string_view name) {
    static constexpr std::pair<std::string_view, DemodFamily> kNames[] = {
        {"stv0299", DemodFamily::Stv0299}, {"mt312", DemodFamily::Zarlink},
        {"cx24123", DemodFamily::Cx24123}, {"s5h1420", DemodFamily::S5h1420},
        {"stv090x", DemodFamily::Stv090x}, {"cx24116", DemodFamily::Cx24116}};
    for (const auto& [text, family] : kNames)
        if (text == name) return family;
    return std::nullopt;
}

std::span<const DemodFamily> DriverFamilies() {
    return kDriverFamilies;
}

std::vector<int32_t> RateSearchOrder::For(int64_t path, int64_t ifKhz) const {
    std::vector<size_t> index(candidates_.size());
    std::iota(index.begin(), index.end(), size_t{0});
    std::stable_sort(index.begin(), index.end(),
                     [&](size_t a, size_t b) { return locks_[a] > locks_[b]; });
    std::vector<int32_t> order;
    order.reserve(index.size());
    const bool sameCarrier = KnownRate(path, ifKhz) != 0;
    if (sameCarrier) order.push_back(last_.ksps);
    for (size_t i : index)
        if (!sameCarrier || candidates_[i] != last_.ksps) order.push_back(candidates_[i]);
    return order;
}

int32_t RateSearchOrder::KnownRate(int64_t path, int64_t ifKhz) const {
    // Within half the rate (in MHz) the tune lies inside the same carrier.
    const bool inside = last_.ksps > 0 && path == last_.path &&
                        std::llabs(ifKhz - last_.ifKhz) * 2 <= int64_t{last_.ksps};
    return inside ? last_.ksps : 0;
}

void RateSearchOrder::Locked(int64_t path, int32_t ksps, int64_t ifKhz) {
    // Each carrier counts once, however often a centring walk locks it again.
    if (KnownRate(path, ifKhz) != ksps) {
        auto it = std::find(candidates_.begin(), candidates_.end(), ksps);
        if (it != candidates_.end()) ++locks_[static_cast<size_t>(it - candidates_.begin())];
    }
    last_ = {path, ksps, ifKhz};
}

float SnrMedian::Push(float raw, bool locked) {
    if (locked != locked_) count_ = 0;
    locked_ = locked;
    last_[count_ % 3] = raw;
    ++count_;
    if (count_ < 3) return raw;  // too few for a median: the reading as it is
    return std::max(std::min(last_[0], last_[1]), std::min(std::max(last_[0], last_[1]), last_[2]));
}

}  // namespace quillox
