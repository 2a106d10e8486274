// How well the jobs do on the shipped satellites, on the ideal simulated dish and under the
// realistic sky (20 seeds): the window's own jobs through the headless runner's job table, the
// results compared with the satellite by CompareWithScenario. A measurement, not a test: it
// prints a table (Markdown) and asserts nothing. Virtual time; a few minutes on two cores.
//
//   build/bench/quillox_sky_accuracy [--seeds N] [--finder-sample N] [--sky ideal|realistic]
//                                    [--card FAMILY] [--generated N [--generated-only]]
//                                    [--write-generated DIR] [--go-aims]
//
// --card: the simulated card's driver family (as the read-back directive names it, e.g. mt312)
// instead of the sky preset's.
// --generated N: also generated satellites 1..N (rows "gen-K"), made-up Ku plans the jobs were
// never tuned on; --generated-only: those alone. --write-generated DIR: each also as
// DIR/gen-K.csv, a table quillox-scan --scenario reads.
// --go-aims: "GO" alone, per satellite: the separable carriers (no other of the polarity within
// 10 MHz) found, by whether their rate is a common one; the same with the default card, whose
// search is perfect, on the same sky and seed (what the sky's fades leave to find); duplicates
// and false lines; run time against the ideal dish; errors of the lines found.
//
// "mean / worst" over the seeds; worst is the lowest share and the most duplicates or false
// lines. The finder runs on every DVB-S carrier of 5000 kS/s and up (--finder-sample N: N of
// them, evenly spread), typed in at its table frequency.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/tuning_code_values.h"
#include "bench_platform.h"
#include "cli/job_runner.h"
#include "cli/transponder_comparison.h"
#include "cli/truth_report.h"
#include "device/demod_profiles.h"
#include "device/sim/simulated_dish.h"
#include "files/lnb_offset.h"
#include "platform/clock.h"
#include "satellites/satellite_generator.h"
#include "satellites/scenario_loading.h"

namespace quillox::bench {
namespace {

struct Satellite {
    std::string name;  // a shipped table's file, or "gen-K"
    Band band;
    int32_t startMhz, endMhz;
    uint32_t generatedSeed = 0;  // > 0: GenerateSatellite(generatedSeed) instead of a file
};

// Each satellite on its main band (40.0E: C band; its three Ku carriers, all DVB-S2, are left
// out). The card is the simulated DVB-S one: DVB-S2 carriers count nowhere.
const Satellite kSatellites[] = {{"0192E.csv", Band::KuLinear, 10700, 12750},
                                 {"0130E.csv", Band::KuLinear, 10700, 12750},
                                 {"0282E.csv", Band::KuLinear, 10700, 12750},
                                 {"0400E.csv", Band::C, 3400, 4200}};

// One run's figures, in percent where a share.
struct Figures {
    double firstFound = 0;   // first method: wide carriers with a listed rate, found
    double goFound = 0;      // second method: DVB-S carriers >= 5000 kS/s found
    double goWithin1 = 0;    // ... and within 1 MHz once the LNB error per band is taken out
    double duplicates = 0;   // lines for a carrier already listed
    double falseLines = 0;   // lines that match no carrier
    double finderExact = 0;  // symbol-rate finder: within 0.2 % of the carrier's rate
    // How many carriers each share is of (0: the satellite has none for that job).
    size_t firstWanted = 0, goWanted = 0, finderWanted = 0;
};

struct Window {
    Window(const satellites::Scenario& s, uint32_t seed, const Satellite& sat)
        : clock(), window(clock) {
        window.form.tunerSlot().Attach(std::make_unique<sim::SimulatedDish>(s, clock, seed));
        TForm1& f = window.form;
        f.tuner().TunerInitialize();
        if (sat.band == Band::C) {
            f.rb_Cband.setChecked(true);
            const BandDefaults d = DefaultsOf(Band::C);
            f.ed_LOF_low.setText(d.lofLow);
            f.ed_LOF_sw.setText(d.lofSwitch);
            f.ed_LOF_higth.setText(d.lofHigh);
        }
        for (Edit* e : {&f.ed_f_start, &f.ed_f_start_r23}) e->setText(std::to_string(sat.startMhz));
        for (Edit* e : {&f.ed_f_end, &f.ed_f_end_r23}) e->setText(std::to_string(sat.endMhz));
    }
    cli::JobOutcome Run(const char* caption) {
        const cli::JobOutcome outcome = cli::RunJob(window.form, *cli::FindJob(caption), false);
        if (!outcome.started || !outcome.error.empty())
            std::fprintf(stderr, "job \"%s\" failed: %s\n", caption, outcome.error.c_str());
        return outcome;
    }
    VirtualClock clock;
    BenchWindow window;
};

double Percent(size_t part, size_t whole) {
    return whole == 0 ? 100.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

// GO with fine tuning on and the window's defaults, its list compared with the satellite.
struct GoRun {
    TransponderComparison cmp;  // of the DVB-S carriers (and DVB-S2 ones on a DVB-S2 card)
    LnbOscillators lnb;
    std::vector<OscillatorOffset> offsets;  // as quillox-scan --truth estimates them
    int64_t scanMs = 0;                     // on the window's (virtual) clock

    // How far the line lies from its carrier once the LNB error of its band is taken out.
    double FreqErrorMhz(const TransponderMatch& m) const {
        return std::abs(m.line.mhz + OffsetAt(offsets, lnb, m.line.mhz) - m.carrier->freqMhz);
    }
};

GoRun RunGo(const satellites::Scenario& s, uint32_t seed, const Satellite& sat) {
    Window w(s, seed, sat);
    GoRun go;
    go.scanMs = w.Run("GO").scanMs;
    // A DVB-S2 card's families count the DVB-S2 carriers too.
    const auto family = FamilyNamed(s.sky.card);
    const bool s2 = family && (DemodProfileOf(*family).driver.systems & kSysDvbS2);
    const std::vector<int32_t> both{polarity::kVertical, polarity::kHorizontal};
    go.cmp = CompareWithScenario(w.window.form.r_ed_trans_good_r23.lines(), s,
                                 {both, sat.startMhz, sat.endMhz, 5000, 45000, s2});
    go.lnb = w.window.form.CurrentOscillators();
    go.offsets = LnbOffsetsOf(go.cmp, go.lnb);
    return go;
}

Figures Measure(const satellites::Scenario& s, uint32_t seed, const Satellite& sat,
                int finderSample) {
    Figures fig;
    const std::vector<int32_t> both{polarity::kVertical, polarity::kHorizontal};
    {  // first method, the window's defaults
        Window w(s, seed, sat);
        w.Run("Find (1,2,3,4)");
        const TForm1& f = w.window.form;
        const auto cmp =
            CompareWithScenario(f.r_ed_trans_good.lines(), s, {both, sat.startMhz, sat.endMhz});
        size_t wanted = 0, found = 0;
        for (const satellites::Carrier* c : cmp.expected) {
            if (c->symbolRateKsps < 15000 || !cli::RateInList(f, *c)) continue;
            ++wanted;
            found += std::any_of(cmp.found.begin(), cmp.found.end(),
                                 [&](const TransponderMatch& m) { return m.carrier == c; });
        }
        fig.firstFound = Percent(found, wanted);
        fig.firstWanted = wanted;
    }
    {  // second method, fine tuning on
        const GoRun go = RunGo(s, seed, sat);
        const TransponderComparison& cmp = go.cmp;
        const auto isExpected = [&](const satellites::Carrier* c) {
            return std::find(cmp.expected.begin(), cmp.expected.end(), c) != cmp.expected.end();
        };
        size_t found = 0, within = 0;
        for (const TransponderMatch& m : cmp.found) {
            if (!isExpected(m.carrier)) continue;
            ++found;
            within += go.FreqErrorMhz(m) <= 1.0;
        }
        fig.goFound = Percent(found, cmp.expected.size());
        fig.goWanted = cmp.expected.size();
        fig.goWithin1 = Percent(within, cmp.expected.size());
        fig.duplicates = static_cast<double>(cmp.duplicates.size());
        fig.falseLines = static_cast<double>(cmp.extra.size() + cmp.unreadable.size());
    }
    // Symbol-rate finder on a fixed sample of the DVB-S carriers: evenly spread over the list.
    std::vector<const satellites::Carrier*> dvbs;
    for (const satellites::Carrier& c : s.carriers)
        if (c.system == satellites::DvbSystem::DvbS && c.freqMhz >= sat.startMhz &&
            c.freqMhz <= sat.endMhz && c.symbolRateKsps >= 5000)
            dvbs.push_back(&c);
    const size_t n = std::min(dvbs.size(), static_cast<size_t>(std::max(0, finderSample)));
    size_t exact = 0;
    for (size_t i = 0; i < n; ++i) {
        const satellites::Carrier& c = *dvbs[i * dvbs.size() / n];
        Window w(s, seed, sat);
        TForm1& f = w.window.form;
        f.Edit12.setText(std::to_string(std::lround(c.freqMhz)));
        f.cbPolarity.setText(c.polarity == polarity::kVertical ? "VERTICAL" : "HORIZONTAL");
        w.Run("Find_S/R");
        const double rate = std::atof(f.ed_sr.text().c_str());
        exact += std::abs(rate - c.symbolRateKsps) <= 0.002 * c.symbolRateKsps;
    }
    fig.finderExact = Percent(exact, n);
    fig.finderWanted = n;
    return fig;
}

struct Summary {
    Figures mean, worst;
};

Summary Summarise(const std::vector<Figures>& runs) {
    Summary s;
    s.worst = runs.front();
    for (const Figures& f : runs) {
        const double k = 1.0 / static_cast<double>(runs.size());
        s.mean.firstFound += k * f.firstFound, s.mean.goFound += k * f.goFound;
        s.mean.goWithin1 += k * f.goWithin1, s.mean.duplicates += k * f.duplicates;
        s.mean.falseLines += k * f.falseLines, s.mean.finderExact += k * f.finderExact;
        // Worst: lowest share found, most duplicates and false lines.
        s.worst.firstFound = std::min(s.worst.firstFound, f.firstFound);
        s.worst.goFound = std::min(s.worst.goFound, f.goFound);
        s.worst.goWithin1 = std::min(s.worst.goWithin1, f.goWithin1);
        s.worst.duplicates = std::max(s.worst.duplicates, f.duplicates);
        s.worst.falseLines = std::max(s.worst.falseLines, f.falseLines);
        s.worst.finderExact = std::min(s.worst.finderExact, f.finderExact);
    }
    return s;
}

void PrintRow(const std::string& sat, const char* sky, const Summary& s, const Figures& counts,
              bool several) {
    const auto cell = [&](double mean, double worst, const char* unit, size_t of = 1) {
        char text[48];
        if (of == 0)
            std::snprintf(text, sizeof text, "n/a");
        else if (several)
            std::snprintf(text, sizeof text, "%.1f%s / %.1f%s", mean, unit, worst, unit);
        else
            std::snprintf(text, sizeof text, "%.1f%s", mean, unit);
        return std::string(text);
    };
    std::printf(
        "| %s | %s | %s (of %zu) | %s (of %zu) | %s | %s | %s | %s (of %zu) |\n", sat.c_str(), sky,
        cell(s.mean.firstFound, s.worst.firstFound, " %", counts.firstWanted).c_str(),
        counts.firstWanted, cell(s.mean.goFound, s.worst.goFound, " %", counts.goWanted).c_str(),
        counts.goWanted, cell(s.mean.goWithin1, s.worst.goWithin1, " %", counts.goWanted).c_str(),
        cell(s.mean.duplicates, s.worst.duplicates, "").c_str(),
        cell(s.mean.falseLines, s.worst.falseLines, "").c_str(),
        cell(s.mean.finderExact, s.worst.finderExact, " %", counts.finderWanted).c_str(),
        counts.finderWanted);
    std::fflush(stdout);
}

// --go-aims: one GO run's figures; the shares in percent, NaN where there is nothing to count.
struct AimsFigures {
    double foundInList = 0, foundNotInList = 0;  // separable carriers found
    double foundAll = 0;                         // all separable carriers found
    // The same sky and seed on the default card, which searches the rate itself: what the sky
    // leaves to find (fades and weak carriers lost there are lost to every search).
    double perfectFound = 0;
    double duplicates = 0, falseLines = 0;
    double timeRatio = 0;        // run time over that on the ideal dish
    double secondsPerFound = 0;  // virtual seconds per counted carrier found
    double freqMedianMhz = 0, freqMaxMhz = 0;
    double rateMedianPct = 0, rateMaxPct = 0;
    size_t inListWanted = 0, notInListWanted = 0;
};

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Whether no other carrier of its polarity on the satellite has its centre within 10 MHz.
bool Separable(const satellites::Scenario& s, const satellites::Carrier& c) {
    return std::none_of(s.carriers.begin(), s.carriers.end(), [&](const satellites::Carrier& o) {
        return &o != &c && o.polarity == c.polarity && std::abs(o.freqMhz - c.freqMhz) <= 10.0;
    });
}

bool InCommonRates(const satellites::Carrier& c) {
    const std::span<const int32_t> rates = SearchRatesKsps();
    return std::any_of(rates.begin(), rates.end(),
                       [&](int32_t r) { return c.symbolRateKsps == static_cast<double>(r); });
}

double Median(std::vector<double> v) {
    if (v.empty()) return kNone;
    std::sort(v.begin(), v.end());
    const size_t h = v.size() / 2;
    return v.size() % 2 ? v[h] : (v[h - 1] + v[h]) / 2;
}

double Max(const std::vector<double>& v) {
    return v.empty() ? kNone : *std::max_element(v.begin(), v.end());
}

AimsFigures MeasureAims(const satellites::Scenario& s, uint32_t seed, const Satellite& sat,
                        int64_t idealScanMs) {
    const GoRun go = RunGo(s, seed, sat);
    const TransponderComparison& cmp = go.cmp;
    const auto matchOf = [&](const satellites::Carrier* c) -> const TransponderMatch* {
        const auto m = std::find_if(cmp.found.begin(), cmp.found.end(),
                                    [&](const TransponderMatch& m) { return m.carrier == c; });
        return m == cmp.found.end() ? nullptr : &*m;
    };
    AimsFigures fig;
    size_t inList = 0, notInList = 0, found = 0;
    std::vector<double> freqErrors, rateErrors;
    for (const satellites::Carrier* c : cmp.expected) {
        const TransponderMatch* m = matchOf(c);
        if (m) {
            ++found;
            freqErrors.push_back(go.FreqErrorMhz(*m));
            rateErrors.push_back(100.0 * std::abs(m->rateErrorKsps) / c->symbolRateKsps);
        }
        if (!Separable(s, *c)) continue;
        if (InCommonRates(*c)) {
            ++fig.inListWanted;
            inList += m != nullptr;
        } else {
            ++fig.notInListWanted;
            notInList += m != nullptr;
        }
    }
    fig.foundInList = fig.inListWanted ? Percent(inList, fig.inListWanted) : kNone;
    fig.foundNotInList = fig.notInListWanted ? Percent(notInList, fig.notInListWanted) : kNone;
    const size_t wanted = fig.inListWanted + fig.notInListWanted;
    fig.foundAll = wanted ? Percent(inList + notInList, wanted) : kNone;
    fig.perfectFound = kNone;
    fig.duplicates = static_cast<double>(cmp.duplicates.size());
    fig.falseLines = static_cast<double>(cmp.extra.size() + cmp.unreadable.size());
    fig.timeRatio =
        idealScanMs > 0 ? static_cast<double>(go.scanMs) / static_cast<double>(idealScanMs) : kNone;
    fig.secondsPerFound = found ? go.scanMs / 1000.0 / static_cast<double>(found) : kNone;
    fig.freqMedianMhz = Median(freqErrors), fig.freqMaxMhz = Max(freqErrors);
    fig.rateMedianPct = Median(rateErrors), fig.rateMaxPct = Max(rateErrors);
    return fig;
}

// The mean over the runs of one figure, leaving out those without it; NaN when none has it.
double MeanOf(const std::vector<AimsFigures>& runs, double AimsFigures::*figure) {
    double sum = 0;
    size_t n = 0;
    for (const AimsFigures& f : runs)
        if (!std::isnan(f.*figure)) sum += f.*figure, ++n;
    return n ? sum / static_cast<double>(n) : kNone;
}

void PrintAimsHeader() {
    std::printf(
        "| satellite | sky | card | found, rate in list | found, rate not in list | found, all | "
        "perfect search, all | duplicates | false lines | scan time ratio | s per carrier found | "
        "MHz error median / max | rate error median / max |\n"
        "|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
}

void PrintAimsRow(const std::string& sat, const char* sky, const std::string& card,
                  const std::vector<AimsFigures>& runs) {
    const auto cell = [&](double AimsFigures::*figure, const char* format) {
        const double v = MeanOf(runs, figure);
        char text[32];
        if (std::isnan(v))
            std::snprintf(text, sizeof text, "n/a");
        else
            std::snprintf(text, sizeof text, format, v);
        return std::string(text);
    };
    const AimsFigures& counts = runs.front();  // what is counted depends on the satellite alone
    std::printf(
        "| %s | %s | %s | %s (of %zu) | %s (of %zu) | %s | %s | %s | %s | %s | %s | %s / %s | "
        "%s / %s |\n",
        sat.c_str(), sky, card.empty() ? "default" : card.c_str(),
        cell(&AimsFigures::foundInList, "%.1f %%").c_str(), counts.inListWanted,
        cell(&AimsFigures::foundNotInList, "%.1f %%").c_str(), counts.notInListWanted,
        cell(&AimsFigures::foundAll, "%.1f %%").c_str(),
        cell(&AimsFigures::perfectFound, "%.1f %%").c_str(),
        cell(&AimsFigures::duplicates, "%.1f").c_str(),
        cell(&AimsFigures::falseLines, "%.1f").c_str(),
        cell(&AimsFigures::timeRatio, "%.2f").c_str(),
        cell(&AimsFigures::secondsPerFound, "%.1f").c_str(),
        cell(&AimsFigures::freqMedianMhz, "%.2f").c_str(),
        cell(&AimsFigures::freqMaxMhz, "%.2f").c_str(),
        cell(&AimsFigures::rateMedianPct, "%.2f %%").c_str(),
        cell(&AimsFigures::rateMaxPct, "%.2f %%").c_str());
    std::fflush(stdout);
}

// A generated satellite goes through its table text, so what is measured is what
// --write-generated writes and quillox-scan --scenario reads.
satellites::ScenarioLoadResult Load(const Satellite& sat, const satellites::SkyImpairments& sky) {
    if (sat.generatedSeed == 0)
        return satellites::LoadScenarioFile(
            std::string(QUILLOX_DATA_DIR) + "/satellites/" + sat.name, sky);
    return satellites::ParseScenarioText(
        satellites::SatelliteTableText(satellites::GenerateSatellite(sat.generatedSeed)), sat.name,
        sky);
}

// Writes generated satellites 1..count as dir/gen-K.csv; false (with a message) on a failure.
bool WriteGenerated(const std::string& dir, int count) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "quillox_sky_accuracy: cannot create %s: %s\n", dir.c_str(),
                     ec.message().c_str());
        return false;
    }
    for (int k = 1; k <= count; ++k) {
        const std::string path = dir + "/gen-" + std::to_string(k) + ".csv";
        std::ofstream out(path, std::ios::binary);
        out << satellites::SatelliteTableText(
            satellites::GenerateSatellite(static_cast<uint32_t>(k)));
        out.close();
        if (!out) {
            std::fprintf(stderr, "quillox_sky_accuracy: cannot write %s\n", path.c_str());
            return false;
        }
    }
    std::fprintf(stderr, "wrote %d generated satellites to %s\n", count, dir.c_str());
    return true;
}

int Usage(const char* why) {
    std::fprintf(stderr,
                 "quillox_sky_accuracy: %s\n"
                 "usage: quillox_sky_accuracy [--seeds N] [--finder-sample N] "
                 "[--sky ideal|realistic] [--card FAMILY] [--generated N [--generated-only]] "
                 "[--write-generated DIR] [--go-aims]\n",
                 why);
    return 2;
}

}  // namespace
}  // namespace quillox::bench

int main(int argc, char** argv) {
    using namespace quillox;
    int seeds = 20, finderSample = 1000;  // the finder: every DVB-S carrier of 5000 kS/s and up
    int generated = 0;
    bool generatedOnly = false, goAims = false;
    std::vector<std::string> skies{"ideal", "realistic"};
    const char* card = nullptr;
    std::string writeDir;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--generated-only") {
            generatedOnly = true;
            continue;
        }
        if (option == "--go-aims") {
            goAims = true;
            continue;
        }
        if (i + 1 >= argc) return bench::Usage(("missing value after " + option).c_str());
        const char* value = argv[++i];
        // A count: a whole number, at least `least`.
        const auto count = [&](int least, int& into) {
            char* end = nullptr;
            const long n = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || n < least || n > 100000) return false;
            into = static_cast<int>(n);
            return true;
        };
        bool ok = true;
        if (option == "--seeds")
            ok = count(1, seeds);
        else if (option == "--finder-sample")
            ok = count(0, finderSample);
        else if (option == "--generated")
            ok = count(1, generated);
        else if (option == "--sky") {
            ok = satellites::SkyPreset(value).has_value();
            skies = {value};
        } else if (option == "--card")
            card = value;
        else if (option == "--write-generated")
            writeDir = value;
        else
            return bench::Usage(("unknown option " + option).c_str());
        if (!ok)
            return bench::Usage(("bad value '" + std::string(value) + "' for " + option).c_str());
    }
    if (generatedOnly && generated == 0)
        return bench::Usage("--generated-only needs --generated N");
    if (!writeDir.empty() && generated == 0)
        return bench::Usage("--write-generated needs --generated N");
    if (!writeDir.empty() && !bench::WriteGenerated(writeDir, generated)) return 1;

    std::vector<bench::Satellite> list;
    if (!generatedOnly) list.assign(std::begin(bench::kSatellites), std::end(bench::kSatellites));
    for (int k = 1; k <= generated; ++k)
        list.push_back(
            {"gen-" + std::to_string(k), Band::KuLinear, 10700, 12750, static_cast<uint32_t>(k)});

    if (goAims) {
        bench::PrintAimsHeader();
    } else {
        std::printf(
            "| satellite | sky | first method found | GO found | GO within 1 MHz | "
            "GO duplicates | GO false lines | Find_S/R within 0.2 %% |\n"
            "|---|---|---|---|---|---|---|---|\n");
    }
    for (const bench::Satellite& sat : list) {
        // --go-aims: GO on the ideal dish (default card, ideal sky), the yardstick of run time.
        int64_t idealScanMs = 0;
        if (goAims) {
            const satellites::ScenarioLoadResult ideal =
                bench::Load(sat, *satellites::SkyPreset("ideal"));
            if (!ideal.scenario) {
                std::fprintf(stderr, "%s\n", ideal.error.c_str());
                return 1;
            }
            idealScanMs = bench::RunGo(*ideal.scenario, 1, sat).scanMs;
        }
        for (const std::string& skyName : skies) {
            satellites::ScenarioLoadResult loaded =
                bench::Load(sat, *satellites::SkyPreset(skyName));
            if (!loaded.scenario) {
                std::fprintf(stderr, "%s\n", loaded.error.c_str());
                return 1;
            }
            if (card) {
                loaded.scenario->sky.card = card;
                loaded.scenario->sky.rateSearch = satellites::SkyImpairments::RateSearch::List;
            }
            // The ideal dish hardly depends on the seed: one run says it all.
            const int runs = skyName == "ideal" ? 1 : seeds;
            if (goAims) {
                std::vector<bench::AimsFigures> figures;
                satellites::Scenario perfect = *loaded.scenario;
                perfect.sky.card.clear();
                perfect.sky.rateSearch = satellites::SkyImpairments::RateSearch::Ideal;
                for (int seed = 1; seed <= runs; ++seed) {
                    const auto s = static_cast<uint32_t>(seed);
                    figures.push_back(bench::MeasureAims(*loaded.scenario, s, sat, idealScanMs));
                    figures.back().perfectFound =
                        bench::MeasureAims(perfect, s, sat, idealScanMs).foundAll;
                }
                bench::PrintAimsRow(sat.name, skyName.c_str(), loaded.scenario->sky.card, figures);
                continue;
            }
            std::vector<bench::Figures> figures;
            for (int seed = 1; seed <= runs; ++seed)
                figures.push_back(bench::Measure(*loaded.scenario, static_cast<uint32_t>(seed), sat,
                                                 finderSample));
            bench::PrintRow(sat.name, skyName.c_str(), bench::Summarise(figures), figures.front(),
                            runs > 1);
        }
    }
    return 0;
}
