#pragma once
// The enabled and read-only states by which the blind-scan pages keep two jobs from running at
// once. Start events lock, a job's end and its stop event unlock; the stop events
// unlock whether or not their worker ran, so they also repair the page after a failed start.
namespace quillox {

class TForm1;

enum class SweepPolarity { Vertical, Horizontal };

// "1 - FIND" / "3 - FIND": the vertical start also locks the Settings group.
void LockForFrequencyScan(TForm1& form, SweepPolarity polarity);
void UnlockAfterFrequencyScan(TForm1& form);

// "2- Find VERT S/Rs" / " 4- Find HOR   S/Rs ".
void LockForSymbolRateScan(TForm1& form);
void UnlockAfterSymbolRateScan(TForm1& form);

// "Find (1,2,3,4)": the nine controls locked before and between its steps.
void LockPageForFindAll(TForm1& form);
void UnlockPageAfterFindAll(TForm1& form);

// "GO" of page rev. 2.3: its groups, its start button and the other pages.
void LockForSweep(TForm1& form);
void UnlockAfterSweep(TForm1& form);

// The Spectrum window's strength pass: its Strength button, every job's start, the Settings
// group and the page "Signal Info"; its Stop button is enabled.
void LockForStrengthPass(TForm1& form);
void UnlockAfterStrengthPass(TForm1& form);

}  // namespace quillox
