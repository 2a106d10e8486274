#pragma once
// What the stock kernel drivers do differently, recognised by the name FE_GET_INFO reports.
// The names are the drivers' own: "ST STV0299 DVB-S" (stv0299.c); "Zarlink VP310 DVB-S",
// "Zarlink MT312 DVB-S" and "Zarlink ZL10313 DVB-S" (mt312.c sets one of them by chip id);
// "Conexant CX24123/CX24109" (cx24123.c); "Samsung S5H1420/PnpNetwork PN1010 DVB-S" (s5h1420.c);
// "Conexant CX24116/CX24118" (cx24116.c), "STV090x Multistandard" (stv090x.c) and "NXP TDA10071"
// (tda10071.c) among the DVB-S2 ones.
#include <cstdint>
#include <string>

#include "device/demod_profiles.h"

namespace quillox::dvb {

// The families and their lock timeouts are the device layer's, shared with the simulated dish.
using quillox::DemodFamily;
using quillox::LockTimeouts;

struct DriverQuirks {
    DemodFamily family = DemodFamily::Other;
    int strengthShift = 0;      // mt312 reports a 14-bit AGC value: scale it up to 16 bits
    bool snrForQuality = true;  // cx24123's own source calls its SNR bogus: use strength
    // cx24116 and tda10071 refuse ROLLOFF_AUTO for DVB-S2 (-EOPNOTSUPP / -EINVAL in their
    // set_frontend): stage 0.35 for them, the roll-off the others detect anyway.
    bool explicitS2Rolloff = false;
    // One attempt finds DVB-S and DVB-S2 alike (stv090x, the simulated frontends).
    bool detectsS2 = false;
    // The simulated frontends ("Simulated DVB-S..."): the default card's demodulator finds the
    // symbol rate itself (it takes rate 0); their relative strength while locked is the lock's
    // quality, which no CNR formula could give.
    bool findsRate = false;
    bool qualityFromStrength = false;
};

DriverQuirks QuirksOf(const std::string& driverName);

}  // namespace quillox::dvb
