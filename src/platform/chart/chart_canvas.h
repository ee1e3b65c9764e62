#pragma once
// A picture drawn with Cairo for charts: filled rectangles, lines and text
// in device pixels, written as a PNG under a temporary name and renamed into
// place.
#include <memory>
#include <string>

namespace platform {

struct ChartColour {
    double red, green, blue;
};

enum class TextAlign { left, centre, right };

class ChartCanvas {
public:
    ChartCanvas(int width, int height, ChartColour background);
    ~ChartCanvas();
    ChartCanvas(const ChartCanvas&) = delete;
    ChartCanvas& operator=(const ChartCanvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    void fillRectangle(double x, double y, double width, double height, ChartColour colour);
    void line(double x0, double y0, double x1, double y1, ChartColour colour, double lineWidth,
              bool dashed = false);
    // `y` is the text's baseline.
    void text(double x, double y, const std::string& text, double size, ChartColour colour,
              TextAlign align = TextAlign::left, bool bold = false);

    // False, with the reason in `failure`, when the PNG could not be written.
    bool writePng(const std::string& path, std::string& failure) const;
    // The PNG file's bytes; empty when it could not be encoded.
    std::string pngBytes() const;

private:
    struct Surface;
    int width_, height_;
    std::unique_ptr<Surface> surface_;
};

}  // namespace platform
