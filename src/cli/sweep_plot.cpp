#include "cli/sweep_plot.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <memory>
#include <type_traits>

namespace quillox::cli {
namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

void SetColour(cairo_t* cr, uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0,
                         (rgb & 0xff) / 255.0);
}

// A one-pixel line along a row or column of pixels rather than between two.
double Crisp(double v) {
    return std::floor(v) + 0.5;
}

void Draw(cairo_t* cr, const SceneRect& r) {
    SetColour(cr, r.fill);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_fill(cr);
}

void Draw(cairo_t* cr, const SceneLine& l) {
    SetColour(cr, l.colour);
    cairo_set_line_width(cr, l.width);
    const double dash[] = {4, 3};
    cairo_set_dash(cr, dash, l.dashed ? 2 : 0, 0);
    const bool vertical = l.from.x == l.to.x, horizontal = l.from.y == l.to.y;
    cairo_move_to(cr, vertical ? Crisp(l.from.x) : l.from.x,
                  horizontal ? Crisp(l.from.y) : l.from.y);
    cairo_line_to(cr, vertical ? Crisp(l.to.x) : l.to.x, horizontal ? Crisp(l.to.y) : l.to.y);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

void Draw(cairo_t* cr, const ScenePolyline& p) {
    SetColour(cr, p.colour);
    cairo_set_line_width(cr, p.width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (size_t i = 0; i < p.points.size(); ++i)
        (i == 0 ? cairo_move_to : cairo_line_to)(cr, p.points[i].x, p.points[i].y);
    cairo_stroke(cr);
}

void Draw(cairo_t* cr, const SceneText& t) {
    SetColour(cr, t.colour);
    cairo_set_font_size(cr, t.size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, t.text.c_str(), &extents);
    const double shift = t.align == TextAlign::Left     ? 0
                         : t.align == TextAlign::Centre ? extents.x_advance / 2
                                                        : extents.x_advance;
    cairo_save(cr);
    cairo_translate(cr, t.at.x, t.at.y);
    if (t.upright) cairo_rotate(cr, -M_PI / 2);
    cairo_move_to(cr, -shift, 0);
    cairo_show_text(cr, t.text.c_str());
    cairo_restore(cr);
}

void Paint(cairo_t* cr, const Scene& scene) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    for (const SceneItem& item : scene.items)
        std::visit([cr](const auto& shape) { Draw(cr, shape); }, item);
}

}  // namespace

FileWriteResult WriteSpectrumPlot(const Scene& scene, const std::string& path) {
    const std::optional<PictureFormat> format = PictureFormatOf(path);
    if (!format) return {false, "the file name must end with .png or .svg"};
    std::string bytes;
    cairo_status_t status;
    if (*format == PictureFormat::Svg) {
        Surface surface(
            cairo_svg_surface_create_for_stream(AppendBytes, &bytes, scene.width, scene.height),
            cairo_surface_destroy);
        {
            Context cr(cairo_create(surface.get()), cairo_destroy);
            Paint(cr.get(), scene);
        }
        cairo_surface_finish(surface.get());
        status = cairo_surface_status(surface.get());
    } else {
        Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, scene.width, scene.height),
                        cairo_surface_destroy);
        {
            Context cr(cairo_create(surface.get()), cairo_destroy);
            Paint(cr.get(), scene);
        }
        status = cairo_surface_write_to_png_stream(surface.get(), AppendBytes, &bytes);
    }
    // Every cairo object is gone: cairo's font caches and fontconfig's configuration can go
    // too, so that a leak checker sees a clean exit (the next drawing loads them again).
    cairo_debug_reset_static_data();
    FcFini();
    if (status != CAIRO_STATUS_SUCCESS) return {false, cairo_status_to_string(status)};
    return WriteFileAtomically(path, bytes);
}

}  // namespace quillox::cli
