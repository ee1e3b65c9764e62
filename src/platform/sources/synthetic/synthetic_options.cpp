#include "platform/sources/synthetic/synthetic_options.h"

#include <charconv>
#include <vector>

namespace platform::synthetic {
namespace {

constexpr NightStretch defaultNight{60.0, 180.0};
constexpr std::string_view knownOptions =
    "night, night=FROM-TO, frames=N, empty, clouds, exposure, queue, followers, headlights, shake, "
    "nightlights, wet, rain, softclouds, dusk, irswitch, survey, away, walkers";

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos) return fields;
        text.remove_prefix(colon + 1);
    }
}

template <typename Number>
std::optional<Number> parseWhole(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool isDecimal(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<NightStretch> parseNight(std::string_view stretch) {
    const auto dash = stretch.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const auto from = parseWhole<std::int64_t>(stretch.substr(0, dash));
    const auto to = parseWhole<std::int64_t>(stretch.substr(dash + 1));
    if (!from || !to || *from < 0 || *from >= *to) return std::nullopt;
    return NightStretch{static_cast<double>(*from), static_cast<double>(*to)};
}

// Each returns an empty string when the option was taken, else the reason.
std::string applyNight(std::string_view option, SceneOptions& options) {
    if (options.night) return "night given twice";
    options.night =
        option == "night" ? defaultNight : parseNight(option.substr(std::string_view("night=").size()));
    if (options.night) return {};
    return "bad night stretch '" + std::string(option) + "', expected night=FROM-TO seconds with FROM < TO";
}

std::string applyFrames(std::string_view option, SceneOptions& options) {
    if (options.frameCount) return "frames given twice";
    const auto count = parseWhole<std::int64_t>(option.substr(std::string_view("frames=").size()));
    if (!count || *count < 1)
        return "bad frame count '" + std::string(option) + "', expected frames=N with N >= 1";
    options.frameCount = *count;
    return {};
}

// The options that are a bare word, and what each sets.
bool* flagOf(std::string_view option, SceneOptions& options) {
    if (option == "clouds") return &options.clouds;
    if (option == "exposure") return &options.exposure;
    if (option == "queue") return &options.queue;
    if (option == "followers") return &options.followers;
    if (option == "headlights") return &options.headlights;
    if (option == "shake") return &options.shake;
    if (option == "nightlights") return &options.nightLights;
    if (option == "wet") return &options.wet;
    if (option == "rain") return &options.rain;
    if (option == "softclouds") return &options.softClouds;
    if (option == "dusk") return &options.dusk;
    if (option == "irswitch") return &options.irSwitch;
    if (option == "survey") return &options.survey;
    if (option == "away") return &options.away;
    if (option == "walkers") return &options.walkers;
    return nullptr;
}

std::string applyOption(std::string_view option, SceneOptions& options) {
    if (option.empty()) return "empty option (an extra ':')";
    if (option == "empty") {
        if (!options.traffic) return "empty given twice";
        options.traffic = false;
        return {};
    }
    if (bool* flag = flagOf(option, options)) {
        if (*flag) return std::string(option) + " given twice";
        *flag = true;
        return {};
    }
    if (option == "night" || option.starts_with("night=")) return applyNight(option, options);
    if (option.starts_with("frames=")) return applyFrames(option, options);
    return "unknown option '" + std::string(option) + "' (known: " + std::string(knownOptions) + ")";
}

}  // namespace

std::optional<SceneOptions> parseSceneOptions(std::string_view text, std::string& failure) {
    SceneOptions options;
    if (text.empty()) return options;
    if (text.front() != ':') {
        failure = "expected ':' after synthetic";
        return std::nullopt;
    }
    const std::vector<std::string_view> fields = splitFields(text.substr(1));
    auto field = fields.begin();
    if (isDecimal(*field)) {
        const auto seed = parseWhole<std::uint64_t>(*field);
        if (!seed) {
            failure = "seed " + std::string(*field) + " does not fit in 64 bits";
            return std::nullopt;
        }
        options.seed = *seed;
        ++field;
    }
    for (; field != fields.end(); ++field) {
        failure = applyOption(*field, options);
        if (!failure.empty()) return std::nullopt;
    }
    if (options.away && (options.headlights || options.nightLights)) {
        failure = "away does not go with headlights or nightlights";
        return std::nullopt;
    }
    return options;
}

}  // namespace platform::synthetic
