#include "platform/chart/chart_canvas.h"

#include <cairo.h>
#include <unistd.h>

#include <cstdio>

namespace platform {

struct ChartCanvas::Surface {
    cairo_surface_t* surface;
    cairo_t* cairo;
};

ChartCanvas::ChartCanvas(int width, int height, ChartColour background)
    : width_(width), height_(height), surface_(std::make_unique<Surface>()) {
    surface_->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    surface_->cairo = cairo_create(surface_->surface);
    fillRectangle(0, 0, width, height, background);
}

ChartCanvas::~ChartCanvas() {
    cairo_destroy(surface_->cairo);
    cairo_surface_destroy(surface_->surface);
}

void ChartCanvas::fillRectangle(double x, double y, double width, double height, ChartColour colour) {
    cairo_t* c = surface_->cairo;
    cairo_set_source_rgb(c, colour.red, colour.green, colour.blue);
    cairo_rectangle(c, x, y, width, height);
    cairo_fill(c);
}

void ChartCanvas::line(double x0, double y0, double x1, double y1, ChartColour colour, double lineWidth,
                       bool dashed) {
    cairo_t* c = surface_->cairo;
    cairo_set_source_rgb(c, colour.red, colour.green, colour.blue);
    cairo_set_line_width(c, lineWidth);
    const double dashes[] = {6, 4};
    cairo_set_dash(c, dashes, dashed ? 2 : 0, 0);
    cairo_move_to(c, x0, y0);
    cairo_line_to(c, x1, y1);
    cairo_stroke(c);
    cairo_set_dash(c, dashes, 0, 0);
}

void ChartCanvas::text(double x, double y, const std::string& text, double size, ChartColour colour,
                       TextAlign align, bool bold) {
    cairo_t* c = surface_->cairo;
    cairo_select_font_face(c, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(c, size);
    cairo_text_extents_t extents{};
    cairo_text_extents(c, text.c_str(), &extents);
    double left = x;
    if (align == TextAlign::centre) left -= extents.x_advance / 2;
    if (align == TextAlign::right) left -= extents.x_advance;
    cairo_set_source_rgb(c, colour.red, colour.green, colour.blue);
    cairo_move_to(c, left, y);
    cairo_show_text(c, text.c_str());
}

bool ChartCanvas::writePng(const std::string& path, std::string& failure) const {
    cairo_surface_flush(surface_->surface);
    const std::string temporary = path + "." + std::to_string(getpid()) + ".part";
    const cairo_status_t status = cairo_surface_write_to_png(surface_->surface, temporary.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        std::remove(temporary.c_str());
        failure = path + ": " + cairo_status_to_string(status);
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        failure = path + ": cannot be renamed into place";
        return false;
    }
    return true;
}

std::string ChartCanvas::pngBytes() const {
    cairo_surface_flush(surface_->surface);
    std::string bytes;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    if (cairo_surface_write_to_png_stream(surface_->surface, append, &bytes) != CAIRO_STATUS_SUCCESS)
        return "";
    return bytes;
}

}  // namespace platform
