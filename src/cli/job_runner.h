#pragma once
// Runs one job of the main window as its button would, and waits for its end while drawing a
// progress bar.
#include <cstdint>
#include <string>

#include "app/form1.h"

namespace quillox::cli {

struct JobEntry {
    const char* caption;     // the button's caption in the window
    Button TForm1::*button;  // clicked to start the job; its start event disables it
    Gauge TForm1::*gauge;    // the job's progress
    Worker TForm1::*worker;
    int32_t polarity;  // the polarity the job works on; kPageChoosesPolarity: the page's own fields
    bool secondMethod;  // page rev. 2.3, whose list and file fields the job fills
    // What the start event disables when it is not the button itself (its group, say).
    Control& (*startLock)(TForm1&) = nullptr;
};

inline constexpr int32_t kPageChoosesPolarity = -1;
inline constexpr int32_t kBothPolarities = -2;  // "Find (1,2,3,4)": vertical, then horizontal

// The job whose caption matches, ignoring case and the number of blanks; nullptr if none.
const JobEntry* FindJob(const std::string& caption);

struct JobOutcome {
    bool started = false;  // false when the window refused the parameters
    int64_t scanMs = 0;    // duration on the window's clock
    double realSeconds = 0;
    std::string error;  // what ended the job early, if anything did
};

JobOutcome RunJob(TForm1& form, const JobEntry& job, bool drawProgress);

}  // namespace quillox::cli
