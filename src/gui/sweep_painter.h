#pragma once
// The Spectrum picture (app/sweep_picture.h) painted with QPainter: on screen, and into PNG
// and SVG files.
#include <QPainter>
#include <string>

#include "app/sweep_picture.h"
#include "files/atomic_file.h"

namespace quillox::gui {

void PaintScene(QPainter& painter, const Scene& scene);

// The scene as a PNG or an SVG file by the path's extension, written whole or not at all.
FileWriteResult WriteScenePicture(const Scene& scene, const std::string& path);

}  // namespace quillox::gui
