#pragma once
// The colour strip of the signal bars: pixel x of the strip is the bar colour for quality x.
#include "form/controls.h"

namespace quillox {

// Paints the 101 colours into the first row: black at 0, red at 1 through yellow around 50 to
// green from 90 on.
void PaintSignalColours(Picture& strip);

}  // namespace quillox
