#pragma once
// The picture of quillox-scan --spectrum: the signal level of each polarity against the
// frequency, drawn with cairo as a PNG or an SVG file.
#include <cstdint>
#include <string>
#include <vector>

#include "app/sweep_picture.h"
#include "files/atomic_file.h"
#include "scan/strength_spectrum.h"

namespace quillox::cli {

struct StrengthSpectrum {
    int32_t startMhz = 0;
    int32_t endMhz = 0;
    std::vector<StrengthPoint> points;  // in the order measured
    bool complete = true;               // false when the pass was stopped before its end
};

// The picture as geometry. A level below zero can only be the 0.001 dBm a device reports when
// it knows the strength in dB alone: the axis is then in dBm, else in the device's relative
// unit. Steps without a level leave a gap in their polarity's curve.
Scene BuildStrengthScene(const StrengthSpectrum& spectrum, int width, int height);

// Drawn at kPlotWidth x kPlotHeight and written whole or not at all; the format follows the
// extension (.png or .svg), another one is refused with a reason.
FileWriteResult WriteStrengthPlot(const StrengthSpectrum& spectrum, const std::string& path);

}  // namespace quillox::cli
