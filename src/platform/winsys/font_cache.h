#pragma once
// Text faces found through fontconfig and rendered with FreeType. Fonts are
// created and deleted once per frame, so a face is opened once per name and
// pixel height and its glyphs are rendered once, then kept for the life of
// the process.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Glyph {
    bool rendered = false;
    int left = 0;  // from the pen position to the bitmap's first column
    int top = 0;   // from the baseline up to the bitmap's first row
    int width = 0;
    int rows = 0;
    int advance = 0;                     // whole pixels to the next pen position
    std::vector<std::uint8_t> coverage;  // width x rows, 0 .. 255
};

class FontInstance {
public:
    FontInstance(void* face, int pixelHeight);
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    int lineHeight() const { return lineHeight_; }
    // Rows from the top of a line down to its baseline.
    int baseline() const { return baseline_; }
    // A byte of text, read as a Latin-1 character.
    const Glyph& glyph(unsigned char code);

private:
    void* face_;  // FT_Face, kept out of this header
    int lineHeight_;
    int baseline_;
    std::array<Glyph, 256> glyphs_;
};

// The font fontconfig gives for the face name, at a pixel height; null when
// no usable font exists (reported once on standard error).
FontInstance* findFont(const char* faceName, int pixelHeight);

// What a device context draws with before a font is selected.
FontInstance* defaultFont();

}  // namespace platform
