#pragma once
// What the stock kernel drivers do differently, recognised by the name FE_GET_INFO reports.
// The names are the drivers' own: "ST STV0299 DVB-S" (stv0299.c); "Zarlink VP310 DVB-S",
// "Zarlink MT312 DVB-S" and "Zarlink ZL10313 DVB-S" (mt312.c sets one of them by chip id);
// "Conexant CX24123/CX24109" (cx24123.c); "Samsung S5H1420/PnpNetwork PN1010 DVB-S" (s5h1420.c);
// "Conexant CX24116/CX24118" (cx24116.c) and "NXP TDA10071" (tda10071.c) among the DVB-S2 ones.
#include <cstdint>
#include <string>

namespace quillox::dvb {

// Demodulator families that differ in how long a tune takes to lock.
enum class DemodFamily { Stv0299, Zarlink, Cx24123, S5h1420, Other };

// Milliseconds one tune attempt (a candidate of the symbol-rate search, or one delivery system
// of a fixed-rate tune) may take to lock at 5000 kS/s and above; below that, twice as long.
// The drivers that zig-zag in software (stv0299, s5h1420) step the frequency every 50-200 ms
// and need seconds for a carrier a few MHz off; mt312 and cx24123 acquire in hardware.
struct LockTimeouts {
    int32_t stv0299 = 3000;
    int32_t zarlink = 800;
    int32_t cx24123 = 800;
    int32_t s5h1420 = 2000;
    int32_t other = 1000;  // the DVB-S2 demodulators and anything not recognised

    int32_t For(DemodFamily family) const;
};

struct DriverQuirks {
    DemodFamily family = DemodFamily::Other;
    int strengthShift = 0;      // mt312 reports a 14-bit AGC value: scale it up to 16 bits
    bool snrForQuality = true;  // cx24123's own source calls its SNR bogus: use strength
    // cx24116 and tda10071 refuse ROLLOFF_AUTO for DVB-S2 (-EOPNOTSUPP / -EINVAL in their
    // set_frontend): stage 0.35 for them, the roll-off the others detect anyway.
    bool explicitS2Rolloff = false;
};

DriverQuirks QuirksOf(const std::string& driverName);

}  // namespace quillox::dvb
