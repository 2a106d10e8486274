// The probable-frequency sweep: one polarity, one symbol rate, a hit wherever the rounded SNR
// rises above 3.6; neighbouring hits then merge into one probable frequency per transponder.
#include <cstdint>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/number_text.h"
#include "scan/control_states.h"
#include "scan/scan_texts.h"

namespace quillox {
namespace {

constexpr double kHitThreshold = 3.6;  // a reading that rounds to 3.6 is no hit
constexpr int32_t kStartSettleMs = 500;
constexpr int32_t kStepSettleMs = 100;
constexpr int32_t kReadingIntervalMs = 20;
constexpr int64_t kClusterGapMhz = 20;      // hits this far apart belong to different transponders
constexpr int32_t kFixedReadInterval = 20;  // what the hidden read-interval field always holds

struct FieldCheck {
    bool failed;
    const char* message;
    Edit& focus;
};

// Readings per step: the dwell time after the settle, in read intervals, rounded up.
int64_t ReadingsPerStep(int32_t delayMs, int32_t readInterval) {
    if (readInterval <= 0) readInterval = kFixedReadInterval;
    const int64_t dwell = int64_t{delayMs} - kStepSettleMs;
    return dwell / readInterval + (dwell % readInterval != 0 ? 1 : 0);
}

int ProgressPercent(int64_t f, int64_t start, int64_t end) {
    if (end == start) return 100;
    return static_cast<int>((f - start) * 100 / (end - start));
}

// One probable frequency per cluster: the middle of its first and last hit.
std::vector<int64_t> MergeHits(const std::vector<int64_t>& hits) {
    std::vector<int64_t> merged;
    if (hits.empty()) return merged;
    int64_t first = hits.front(), last = hits.front();
    for (size_t i = 1; i < hits.size(); ++i) {
        if (hits[i] - last >= kClusterGapMhz) {
            merged.push_back(first + (last - first) / 2);
            first = hits[i];
        }
        last = hits[i];
    }
    merged.push_back(first + (last - first) / 2);
    return merged;
}

}  // namespace

bool TForm1::ValidateFrequencyRange() {
    const Band band = SelectedBand();
    const bool ku = band == Band::KuLinear, c = band == Band::C, custom = band == Band::Custom;
    const int32_t start = LenientInt(ed_f_start.text());
    const int32_t end = LenientInt(ed_f_end.text());
    const int32_t step = LenientInt(ed_f_step.text());
    const int32_t delay = LenientInt(ed_f_delay.text());
    const auto outside = [band](int32_t mhz) { return !FrequencyInBand(band, mhz); };

    const FieldCheck checks[] = {
        {ku && outside(start),
         "Invalid START frequency for Ku-Linear Band\n"
         "Please put a frequency from 10700 Mhz to 12750 MHz.",
         ed_f_start},
        {c && outside(start),
         "Invalid START frequency for C-Linear Band\n"
         "Please put a frequency from 3400 MHz to 4200 MHz.",
         ed_f_start},
        {custom && start < 1, "Invalid START frequency\nPlease put a valid frequency.", ed_f_start},
        {ku && outside(end),
         "Invalid END frequency for Ku-Linear Band\n"
         "Please put a frequency from 10700 Mhz to 12750 MHz.",
         ed_f_end},
        {c && outside(end),
         "Invalid END frequency for C-Linear Band\n"
         "Please put a frequency from 3400 MHz to 4200 MHz.",
         ed_f_end},
        {custom && end < 1, "Invalid END frequency\nPlease put a valid frequency.", ed_f_end},
        {end < start, "The START frequency can't be superior to the END frequency.", ed_f_start},
        {step <= 0, "Invalid STEP, please put a step superior to 0.", ed_f_step},
        {delay < 200, "Invalid Delay, the minimum value is 200.", ed_f_delay},
    };
    for (const FieldCheck& check : checks)
        if (check.failed) return RefuseInput(check.message, check.focus);
    return true;
}

namespace {

// The start events of both polarities: lock the page, stage the polarity, show the
// placeholder in the swept list and start the worker.
void StartSweep(TForm1& form, SweepPolarity polarity) {
    if (!form.ValidateFrequencyRange()) return;
    const bool vertical = polarity == SweepPolarity::Vertical;
    LockForFrequencyScan(form, polarity);
    form.tuner().TunerSetPolarity(vertical ? polarity::kVertical : polarity::kHorizontal);
    form.tuner().TunerSetFec(fec::kAuto);
    form.tuner().TunerCommit(1);
    Lines& list = vertical ? form.r_edt_freq_v : form.r_edt_freq_h;
    list.clear();
    list.setText(kSweepPlaceholder);
    form.RichEdit2.clear();
    form.StartWorker(form.FreqScanWorker);
}

}  // namespace

void TForm1::Button1Click() {
    StartSweep(*this, SweepPolarity::Vertical);
}
void TForm1::Button3Click() {
    StartSweep(*this, SweepPolarity::Horizontal);
}

void TForm1::ProbableFrequencyScan() {
    TunerDevice& t = tuner();
    Clock& clock = platform().clock;
    t.TunerSetSymbolRate(StrictInt(ed_f_sr.text()));
    t.TunerCommit(1);

    const int64_t start = StrictInt(ed_f_start.text());
    const int64_t end = StrictInt(ed_f_end.text());
    const int64_t step = StrictInt(ed_f_step.text());
    const int64_t readings =
        ReadingsPerStep(StrictInt(ed_f_delay.text()), StrictInt(ed_f_delay2.text()));

    pbar_freq.setPosition(0);
    clock.Sleep(kStartSettleMs);
    for (int64_t f = start; f <= end; f = NextInRange(f, end, step)) {
        TuneTo(static_cast<int32_t>(f));
        clock.Sleep(kStepSettleMs);
        for (int64_t r = 0; r < readings; ++r) {
            clock.Sleep(kReadingIntervalMs);
            t.TunerRefreshStatus();
            float snr = 0;
            t.TunerGetSnr(snr);
            const double rounded = RoundToTenth(snr);
            if (rounded <= kHitThreshold) continue;
            t.TunerRefreshStatus();
            int32_t mhz = 0, quality = 0;
            t.TunerGetFrequency(mhz);
            t.TunerGetSignalQuality(quality);
            RichEdit1.append("Freq = " + std::to_string(mhz) + "  Signal = " +
                             std::to_string(quality) + "  SNR = " + ReadingText(rounded));
            RichEdit2.append(std::to_string(mhz));
            break;  // at most one hit per step
        }
        pbar_freq.setPosition(ProgressPercent(f, start, end));
    }
    pbar_freq.setPosition(100);
    b_tr_GOClick();
    UnlockAfterFrequencyScan(*this);
    StopWorker(FreqScanWorker);
}

void TForm1::b_tr_GOClick() {
    re_freq_tmp.clear();
    std::vector<int64_t> hits;
    for (const std::string& line : RichEdit2.lines()) hits.push_back(StrictInt(line));
    for (int64_t mhz : MergeHits(hits)) re_freq_tmp.append(std::to_string(mhz));

    tuner().TunerRefreshStatus();
    int32_t polarityCode = -1;  // a failed read changes neither list
    tuner().TunerGetPolarity(polarityCode);
    if (polarityCode == polarity::kVertical) r_edt_freq_v.setText(re_freq_tmp.text());
    if (polarityCode == polarity::kHorizontal) r_edt_freq_h.setText(re_freq_tmp.text());
}

void TForm1::b_CClick() {
    RichEdit2.clear();
}

void TForm1::b_StopClick() {
    StopWorker(FreqScanWorker);
    pbar_freq.setPosition(0);
    RichEdit2.clear();  // the stopped sweep's hits are dropped unmerged
    for (Lines* list : {&r_edt_freq_h, &r_edt_freq_v})
        if (list->text() == kSweepPlaceholder) list->clear();
    UnlockAfterFrequencyScan(*this);
}

void TForm1::bt_Clear_vClick() {
    r_edt_freq_v.clear();
}
void TForm1::bt_Clear_hClick() {
    r_edt_freq_h.clear();
}

}  // namespace quillox
