#include "device/dvb/driver_quirks.h"

namespace quillox::dvb {
namespace {

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

DriverQuirks QuirksOf(const std::string& driverName) {
    DriverQuirks quirks;
    if (driverName.rfind("Simulated DVB-S", 0) == 0) {
        quirks.findsRate = Has(driverName, "finds the symbol rate");
        quirks.detectsS2 = true;
        quirks.qualityFromStrength = true;
    } else if (Has(driverName, "STV0299")) {
        quirks.family = DemodFamily::Stv0299;
    } else if (Has(driverName, "Zarlink") &&
               (Has(driverName, "VP310") || Has(driverName, "MT312") ||
                Has(driverName, "ZL10313"))) {
        quirks.family = DemodFamily::Zarlink;
        quirks.strengthShift = 2;
    } else if (Has(driverName, "CX24123")) {
        quirks.family = DemodFamily::Cx24123;
        quirks.snrForQuality = false;
    } else if (Has(driverName, "S5H1420")) {
        quirks.family = DemodFamily::S5h1420;
    } else if (Has(driverName, "STV090x")) {
        quirks.family = DemodFamily::Stv090x;
        quirks.detectsS2 = true;  // stv090x_search: STV090x_SEARCH_AUTO whatever was asked
    } else if (Has(driverName, "CX24116")) {
        quirks.family = DemodFamily::Cx24116;
        quirks.explicitS2Rolloff = true;
    } else if (Has(driverName, "TDA10071")) {
        quirks.explicitS2Rolloff = true;
    }
    return quirks;
}

}  // namespace quillox::dvb
