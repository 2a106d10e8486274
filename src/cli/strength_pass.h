#pragma once
// quillox-scan --spectrum: the strength spectrum as a job of its own on the window's tuner,
// with the window's LNB settings, range and polarities, drawn into a picture. It changes
// nothing in the window's lists.
#include <string>

#include "app/form1.h"

namespace quillox::cli {

// Runs the pass (stopped by Ctrl-C), then writes what it measured to path. Returns the exit
// status: 0; 1 for a range the window refuses (nothing tuned, the window's message printed), a
// pass that failed or a picture that could not be written; 130 when it was interrupted (the
// picture then shows what was measured).
int RunSpectrum(TForm1& form, const std::string& path, bool drawProgress);

}  // namespace quillox::cli
