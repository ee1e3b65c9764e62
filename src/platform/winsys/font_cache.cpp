#include "platform/winsys/font_cache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace platform {
namespace {

constexpr const char* defaultFaceName = "Courier";
constexpr int defaultPixelHeight = 10;
constexpr int largestPixelHeight = 512;

struct CachedFont {
    std::string faceName;
    int pixelHeight;
    std::unique_ptr<FontInstance> font;  // null: no usable font
};

// Never destroyed: exit-time code may still draw.
std::vector<CachedFont>& fontCache() {
    static auto* const cache = new std::vector<CachedFont>;
    return *cache;
}

FT_Library freetype() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        if (FT_Init_FreeType(&created) != 0) {
            std::fprintf(stderr, "tavomotion: FreeType cannot start\n");
            return created;
        }
        // Thin CFF faces (Nimbus Mono, a Courier) fade out at ten pixels;
        // darkened stems keep small status text legible.
        FT_Bool noStemDarkening = 0;
        FT_Property_Set(created, "cff", "no-stem-darkening", &noStemDarkening);
        return created;
    }();
    return library;
}

struct FontFile {
    std::string path;
    int index = 0;
};

bool matchFontFile(const std::string& faceName, FontFile& file) {
    if (FcInit() == FcFalse) return false;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    if (!faceName.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName.c_str()));
    }
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) file.path = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &file.index) != FcResultMatch) file.index = 0;
    FcPatternDestroy(match);
    return found;
}

std::unique_ptr<FontInstance> openFont(const std::string& faceName, int pixelHeight) {
    FontFile file;
    if (freetype() == nullptr || !matchFontFile(faceName, file)) {
        std::fprintf(stderr, "tavomotion: no font found for \"%s\": its text is not drawn\n",
                     faceName.c_str());
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(freetype(), file.path.c_str(), file.index, &face) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
        if (face != nullptr) FT_Done_Face(face);
        std::fprintf(stderr, "tavomotion: cannot load the font %s: its text is not drawn\n",
                     file.path.c_str());
        return nullptr;
    }
    return std::make_unique<FontInstance>(face, pixelHeight);
}

// Coverage bytes of a rendered FreeType bitmap, one byte per pixel.
void copyCoverage(const FT_Bitmap& bitmap, Glyph& glyph) {
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.assign(static_cast<std::size_t>(glyph.width) * glyph.rows, 0);
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
            const std::uint8_t value = mono ? ((source[x / 8] >> (7 - x % 8)) & 1) * 255 : source[x];
            glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] = value;
        }
    }
}

}  // namespace

FontInstance::FontInstance(void* face, int pixelHeight)
    : face_(face), lineHeight_(pixelHeight), baseline_(0) {
    // A face's own ascent and descent often add up to more than the line
    // height; the baseline goes where the letters and digits fit the line,
    // and where they do not, their tops win over the descenders.
    int ascent = 0;
    int descent = 0;
    for (unsigned char code = '0'; code <= 'z'; ++code) {
        if (std::isalnum(code) == 0) continue;
        const Glyph& measured = glyph(code);
        if (measured.rows == 0) continue;
        ascent = std::max(ascent, measured.top);
        descent = std::max(descent, measured.rows - measured.top);
    }
    baseline_ = std::clamp(lineHeight_ - descent, std::min(ascent, lineHeight_), lineHeight_);
}

const Glyph& FontInstance::glyph(unsigned char code) {
    Glyph& glyph = glyphs_[code];
    if (glyph.rendered) return glyph;
    glyph.rendered = true;
    FT_Face face = static_cast<FT_Face>(face_);
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) return glyph;
    const FT_GlyphSlot slot = face->glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const bool known =
        slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY || slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (known && slot->bitmap.pitch >= 0) copyCoverage(slot->bitmap, glyph);
    return glyph;
}

FontInstance* findFont(const char* faceName, int pixelHeight) {
    const char* name = faceName == nullptr ? "" : faceName;
    const int height = std::clamp(pixelHeight, 1, largestPixelHeight);
    for (CachedFont& cached : fontCache()) {
        if (cached.pixelHeight == height && cached.faceName == name) return cached.font.get();
    }
    CachedFont& added = fontCache().emplace_back(CachedFont{name, height, openFont(name, height)});
    return added.font.get();
}

FontInstance* defaultFont() { return findFont(defaultFaceName, defaultPixelHeight); }

}  // namespace platform

// Read by LeakSanitizer in sanitizer builds. Once per process, fontconfig
// 2.14 loses a few bytes parsing its configuration, and D-Bus (which SDL's
// video starts) some of its connection state.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }
