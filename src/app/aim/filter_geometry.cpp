#include "app/aim/filter_geometry.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

namespace app::aim {
namespace {

struct Filter {
    std::string name;
    std::map<std::string, std::string> values;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

// The positional names of each filter's options, in FFmpeg's order.
std::vector<std::string> positionalNames(const std::string& filter) {
    if (filter == "crop") return {"w", "h", "x", "y", "keep_aspect", "exact"};
    if (filter == "scale") return {"w", "h"};
    if (filter == "transpose") return {"dir", "passthrough"};
    return {};
}

std::string canonicalKey(const std::string& key) {
    if (key == "out_w" || key == "width") return "w";
    if (key == "out_h" || key == "height") return "h";
    return key;
}

std::optional<Filter> parseFilter(const std::string& text) {
    Filter filter;
    const std::size_t equals = text.find('=');
    filter.name = text.substr(0, equals);
    if (equals == std::string::npos) return filter;
    const std::vector<std::string> names = positionalNames(filter.name);
    const std::vector<std::string> arguments = split(text.substr(equals + 1), ':');
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::size_t named = arguments[i].find('=');
        if (named != std::string::npos) {
            filter.values[canonicalKey(arguments[i].substr(0, named))] = arguments[i].substr(named + 1);
        } else if (i < names.size()) {
            filter.values[names[i]] = arguments[i];
        } else {
            return std::nullopt;
        }
    }
    return filter;
}

std::optional<int> wholeNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < -100000 || value > 100000) return std::nullopt;
    return static_cast<int>(value);
}

// A value given as a plain number, or `fallback` when the option is absent;
// nothing for an expression.
std::optional<int> valueOf(const Filter& filter, const std::string& key, int fallback) {
    const auto found = filter.values.find(key);
    return found == filter.values.end() ? std::optional<int>(fallback) : wholeNumber(found->second);
}

// FFmpeg's crop: a place that would leave the frame is moved inside it; on
// subsampled video the place is made a multiple of the chroma step.
std::optional<FilterStep> cropStep(const Filter& filter, int width, int height, int chromaStep) {
    FilterStep step{FilterStep::Kind::crop, width, height};
    const auto w = valueOf(filter, "w", width);
    const auto h = valueOf(filter, "h", height);
    const auto exact = valueOf(filter, "exact", 0);
    if (!w || !h || !exact || *w <= 0 || *h <= 0 || *w > width || *h > height) return std::nullopt;
    const int step2 = *exact != 0 ? 1 : chromaStep;
    step.outWidth = *w / step2 * step2;
    step.outHeight = *h / step2 * step2;
    const auto x = valueOf(filter, "x", (width - step.outWidth) / 2);
    const auto y = valueOf(filter, "y", (height - step.outHeight) / 2);
    if (!x || !y) return std::nullopt;
    step.askedX = *x;
    step.askedY = *y;
    step.x = std::max(0, std::min(*x, width - step.outWidth)) / step2 * step2;
    step.y = std::max(0, std::min(*y, height - step.outHeight)) / step2 * step2;
    return step;
}

// A side of -1 keeps the aspect; -2 keeps it on an even number.
std::optional<FilterStep> scaleStep(const Filter& filter, int width, int height) {
    FilterStep step{FilterStep::Kind::scale, width, height};
    const auto w = valueOf(filter, "w", width);
    const auto h = valueOf(filter, "h", height);
    if (!w || !h || *w == 0 || *h == 0 || *w < -2 || *h < -2 || (*w < 0 && *h < 0)) return std::nullopt;
    const auto kept = [](double side, int rounding) {
        return std::max(rounding, static_cast<int>(std::lround(side / rounding)) * rounding);
    };
    step.outWidth = *w > 0 ? *w : kept(static_cast<double>(*h) * width / height, -*w);
    step.outHeight = *h > 0 ? *h : kept(static_cast<double>(*w) * height / width, -*h);
    return step;
}

std::optional<FilterStep> transposeStep(const Filter& filter, int width, int height) {
    static const std::map<std::string, int> directions{{"0", 0},      {"1", 1},           {"2", 2},
                                                       {"3", 3},      {"cclock_flip", 0}, {"clock", 1},
                                                       {"cclock", 2}, {"clock_flip", 3}};
    const auto found = filter.values.find("dir");
    const auto direction = directions.find(found == filter.values.end() ? "0" : found->second);
    const auto passthrough = filter.values.find("passthrough");
    if (direction == directions.end() ||
        (passthrough != filter.values.end() && passthrough->second != "none"))
        return std::nullopt;
    FilterStep step{FilterStep::Kind::transpose, width, height, height, width};
    step.direction = direction->second;
    return step;
}

std::optional<FilterStep> stepOf(const Filter& filter, int width, int height, int chromaStep) {
    if (filter.name == "crop") return cropStep(filter, width, height, chromaStep);
    if (filter.name == "scale") return scaleStep(filter, width, height);
    if (filter.name == "transpose") return transposeStep(filter, width, height);
    if ((filter.name == "hflip" || filter.name == "vflip") && filter.values.empty()) {
        const auto kind = filter.name == "hflip" ? FilterStep::Kind::hflip : FilterStep::Kind::vflip;
        return FilterStep{kind, width, height, width, height};
    }
    return std::nullopt;
}

// The box of a step's output on its input.
Box onInput(const FilterStep& step, const Box& box) {
    const double w = step.inWidth;
    const double h = step.inHeight;
    switch (step.kind) {
        case FilterStep::Kind::crop:
            return {box.left + step.x, box.top + step.y, box.right + step.x, box.bottom + step.y};
        case FilterStep::Kind::scale: {
            const double across = w / step.outWidth;
            const double down = h / step.outHeight;
            return {box.left * across, box.top * down, box.right * across, box.bottom * down};
        }
        case FilterStep::Kind::hflip:
            return {w - box.right, box.top, w - box.left, box.bottom};
        case FilterStep::Kind::vflip:
            return {box.left, h - box.bottom, box.right, h - box.top};
        case FilterStep::Kind::transpose:
            break;
    }
    // The output's x runs along the input's y and the other way round.
    const bool mirroredAcross = step.direction >= 2;
    const bool mirroredDown = step.direction == 1 || step.direction == 3;
    const Box swapped{box.top, box.left, box.bottom, box.right};
    return {
        mirroredAcross ? w - swapped.right : swapped.left, mirroredDown ? h - swapped.bottom : swapped.top,
        mirroredAcross ? w - swapped.left : swapped.right, mirroredDown ? h - swapped.top : swapped.bottom};
}

}  // namespace

std::optional<FilterGeometry> geometryOf(const std::string& graph, int width, int height, int chromaStep,
                                         std::string& reason) {
    FilterGeometry geometry{width, height, {}};
    if (graph.find_first_of(";[]'\\") != std::string::npos) {
        reason = "the graph is not one plain chain";
        return std::nullopt;
    }
    for (const std::string& text : split(graph, ',')) {
        const std::optional<Filter> filter = parseFilter(text);
        const std::optional<FilterStep> step =
            filter ? stepOf(*filter, geometry.outWidth(), geometry.outHeight(), chromaStep) : std::nullopt;
        if (!step) {
            reason = "'" + text + "' is not a crop, scale, transpose or flip with plain numbers";
            return std::nullopt;
        }
        geometry.steps.push_back(*step);
    }
    return geometry;
}

Box onSource(const FilterGeometry& geometry, Box box) {
    for (auto step = geometry.steps.rbegin(); step != geometry.steps.rend(); ++step)
        box = onInput(*step, box);
    return box;
}

}  // namespace app::aim
