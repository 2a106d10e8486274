#pragma once
// Texts that several jobs of the page "SkyStar2  rev. 2.6" share.
namespace quillox {

// Shown in a frequency list while the sweep that will fill it runs.
inline constexpr const char* kSweepPlaceholder =
    "Please, Wait! The result only appears when the progress bar arrives to the 100%";

// Opens the diagnostic-log line of a job that ended on an error it does not handle.
inline constexpr const char* kJobErrorPrefix = "Job ended on an error: ";

}  // namespace quillox
