#include "cli/device_list.h"

namespace quillox::cli {
namespace {

// "950 - 2150 MHz"; a limit of 0 is none.
std::string Range(uint32_t low, uint32_t high, uint32_t perUnit, const char* unit) {
    if (low == 0 && high == 0) return "no limits";
    const std::string from = low == 0 ? "no limit" : std::to_string(low / perUnit);
    const std::string to = high == 0 ? "no limit" : std::to_string(high / perUnit);
    return from + " - " + to + " " + unit;
}

std::string Systems(const dvb::FrontendDescription& d) {
    if (d.frontend.deliverySystems.empty())
        return d.frontend.info.type == FE_QPSK ? "DVB-S (not listed by the driver)" : "not listed";
    std::string text;
    for (uint32_t system : d.frontend.deliverySystems)
        text += (text.empty() ? "" : ", ") + dvb::DeliverySystemName(system);
    return text;
}

}  // namespace

std::string FormatDeviceList(const std::vector<dvb::FrontendListing>& frontends) {
    if (frontends.empty()) return "No DVB frontend found: the simulated dish is the only device.\n";
    std::string text;
    for (const dvb::FrontendListing& f : frontends) {
        const dvb::FrontendDescription& d = f.description;
        text += d.path + "\n";
        if (f.described) {
            const dvb_frontend_info& info = d.frontend.info;
            text += "  name              " + d.name() + "\n";
            text += "  delivery systems  " + Systems(d) + "\n";
            text += "  frequency         " +
                    Range(info.frequency_min, info.frequency_max, 1000, "MHz") +
                    (d.satellite() ? " (IF)" : "") + "\n";
            text += "  symbol rate       " +
                    Range(info.symbol_rate_min, info.symbol_rate_max, 1000, "kS/s") + "\n";
        }
        text += "  state             ";
        if (!f.users.writers.empty()) {
            text += "busy: open for tuning by";
            for (const std::string& writer : f.users.writers) text += " " + writer;
        } else if (!f.error.empty()) {
            text += "cannot be opened: " + f.error;
        } else if (f.users.unchecked > 0) {
            const int n = f.users.unchecked;
            text += "free as far as this user can see (" + std::to_string(n) +
                    (n == 1 ? " process" : " processes") + " of other users not checked)";
        } else {
            text += "free";
        }
        text += "\n";
    }
    return text;
}

}  // namespace quillox::cli
