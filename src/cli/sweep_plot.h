#pragma once
// The Spectrum picture drawn with cairo for quillox-scan --plot, which has no Qt.
#include <string>

#include "app/sweep_picture.h"
#include "files/atomic_file.h"

namespace quillox::cli {

constexpr int kPlotWidth = 1200;
constexpr int kPlotHeight = 520;

// The scene as a PNG or an SVG file, chosen by the path's extension (.png, .svg). Written
// whole or not at all; an unknown extension is refused with a reason.
FileWriteResult WriteSpectrumPlot(const Scene& scene, const std::string& path);

}  // namespace quillox::cli
