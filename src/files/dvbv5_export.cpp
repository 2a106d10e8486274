#include "files/dvbv5_export.h"

#include <libdvbv5/dvb-file.h>
#include <libdvbv5/dvb-v5-std.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "base/tuning_code_values.h"
#include "files/transponder_line.h"

namespace quillox {
namespace {

struct FileDeleter {
    void operator()(dvb_file* file) const { dvb_file_free(file); }
};

fe_code_rate InnerFec(const std::string& text) {
    static constexpr std::pair<const char*, fe_code_rate> kRates[] = {
        {"12", FEC_1_2}, {"23", FEC_2_3}, {"34", FEC_3_4}, {"35", FEC_3_5}, {"45", FEC_4_5},
        {"56", FEC_5_6}, {"67", FEC_6_7}, {"78", FEC_7_8}, {"89", FEC_8_9}, {"910", FEC_9_10}};
    for (const auto& [name, rate] : kRates)
        if (text == name) return rate;
    return FEC_AUTO;
}

std::optional<uint32_t> Polarization(int32_t code) {
    if (code == polarity::kVertical) return POLARIZATION_V;
    if (code == polarity::kHorizontal) return POLARIZATION_H;
    return std::nullopt;
}

}  // namespace

Dvbv5Export WriteDvbv5File(const std::string& path, const std::vector<std::string>& lines) {
    Dvbv5Export result;
    // dvb_file_free releases with free(): the file and its entries come from calloc.
    std::unique_ptr<dvb_file, FileDeleter> file(
        static_cast<dvb_file*>(std::calloc(1, sizeof(dvb_file))));
    if (!file) return {false, "out of memory", 0, 0};
    dvb_entry** tail = &file->first_entry;
    for (const std::string& text : lines) {
        const std::optional<TransponderLine> line = ParseTransponderLine(text);
        const std::optional<uint32_t> pol = line ? Polarization(line->polarity) : std::nullopt;
        if (!line || !pol || line->mhz <= 0 || line->ksps <= 0) {
            ++result.skipped;
            continue;
        }
        auto* entry = static_cast<dvb_entry*>(std::calloc(1, sizeof(dvb_entry)));
        if (entry == nullptr) return {false, "out of memory", 0, 0};
        *tail = entry;
        tail = &entry->next;
        const std::string name = std::to_string(line->mhz) + PolarityLetter(line->polarity);
        entry->channel = strdup(name.c_str());
        entry->sat_number = -1;  // no DiSEqC input of its own: the tool's choice applies
        dvb_store_entry_prop(entry, DTV_DELIVERY_SYSTEM, SYS_DVBS);
        dvb_store_entry_prop(entry, DTV_FREQUENCY, static_cast<uint32_t>(line->mhz) * 1000);
        dvb_store_entry_prop(entry, DTV_POLARIZATION, *pol);
        dvb_store_entry_prop(entry, DTV_SYMBOL_RATE, static_cast<uint32_t>(line->ksps) * 1000);
        dvb_store_entry_prop(entry, DTV_INNER_FEC, InnerFec(line->fecText));
        ++result.written;
        ++file->n_entries;
    }
    if (result.written == 0) {
        result.error = "no transponder to export";
        return result;
    }
    const int error = dvb_write_file(path.c_str(), file.get());
    if (error != 0) {
        result.error = std::strerror(error);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace quillox
