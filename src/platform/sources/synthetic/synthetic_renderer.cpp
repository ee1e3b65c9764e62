#include "platform/sources/synthetic/synthetic_renderer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/sources/synthetic/synthetic_background.h"
#include "platform/sources/synthetic/synthetic_infrared.h"
#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_lighting.h"
#include "platform/sources/synthetic/synthetic_random.h"
#include "platform/sources/synthetic/synthetic_shading.h"
#include "platform/sources/synthetic/synthetic_shake.h"
#include "platform/sources/synthetic/synthetic_soft_clouds.h"
#include "platform/sources/synthetic/synthetic_vehicle_painter.h"

namespace platform::synthetic {
namespace {

// Each frame reads the noise table from its own offset below this.
constexpr std::size_t noiseOffsets = std::size_t{1} << 18;
// Vehicles in one stretch, at the shortest gaps: reserved once, so drawing
// never allocates.
constexpr std::size_t mostVehiclesPerStretch = 512;

// Sensor noise of -4..4 gray levels per channel, binomial: a byte's set bits
// less four.
std::vector<std::int8_t> makeNoise(std::uint64_t seed) {
    std::vector<std::int8_t> noise(pictureBytes + noiseOffsets);
    Random random(streamKey(seed, Purpose::noise));
    for (std::size_t i = 0; i < noise.size(); i += 8) {
        std::uint64_t bits = random.next();
        for (std::size_t j = i; j < std::min(i + 8, noise.size()); ++j, bits >>= 8) {
            noise[j] = static_cast<std::int8_t>(std::popcount(bits & 0xff) - 4);
        }
    }
    return noise;
}

// The pointers do not alias, which lets the compiler work on many bytes at once.
void addNoise(std::uint8_t* __restrict picture, const std::int8_t* __restrict noise) {
    for (std::size_t i = 0; i < pictureBytes; ++i) {
        picture[i] = static_cast<std::uint8_t>(std::clamp(picture[i] + noise[i], 0, 255));
    }
}

int lightQuanta(double level) { return static_cast<int>(level * lightUnit + 0.5); }

}  // namespace

SceneRenderer::SceneRenderer(const SceneOptions& options, FrameRate rate)
    : options_(options),
      rate_(rate),
      road_(pictureBytes),
      noise_(makeNoise(options.seed)),
      litRoad_(pictureBytes) {
    paintRoad(options.seed, road_.data());
    if (options.wet || options.rain) {
        for (std::uint8_t& value : road_) value = static_cast<std::uint8_t>(value * wetRoadShare >> 8);
    }
    vehicles_.reserve(mostVehiclesPerStretch);
    walkers_.reserve(mostVehiclesPerStretch);
    if (options.nightLights) nightLights_.emplace(options, road_.data());
    if (options.rain) rain_.emplace(options.seed);
    if (options.shake) still_.resize(pictureBytes);
}

void SceneRenderer::render(std::int64_t frame, std::uint8_t* picture) {
    const double seconds = frameSeconds(frame, rate_);
    const double level = sceneLight(options_, seconds);
    const std::optional<InfraredMode> infrared =
        options_.irSwitch ? infraredAt(options_.seed, seconds) : std::nullopt;
    const int light = lightQuanta(infrared ? std::max(level, infrared->illumination) : level);
    lightRoad(light);
    std::memcpy(picture, litRoad_.data(), pictureBytes);
    if (options_.traffic) scheduleAround(seconds);
    if (nightLights_) nightLights_->lightRoad(seconds, lampShare(level), lampVehicles_, picture);
    if (options_.traffic) drawTraffic(seconds, light, lampShare(level), picture);
    shadeAndExpose(options_, seconds, picture);
    weatherAndCamera(frame, seconds, picture);
    if (infrared) toInfrared(*infrared, picture);
    addSensorNoise(frame, picture);
}

void SceneRenderer::lightRoad(int light) {
    if (light == litRoadLight_) return;
    std::array<std::uint8_t, 256> levels;
    for (int value = 0; value < 256; ++value) {
        levels[value] = static_cast<std::uint8_t>(std::min(255, (value * light + lightUnit / 2) / lightUnit));
    }
    std::transform(road_.begin(), road_.end(), litRoad_.begin(),
                   [&levels](std::uint8_t value) { return levels[value]; });
    litRoadLight_ = light;
}

void SceneRenderer::scheduleAround(double seconds) {
    const std::int64_t stretch = stretchOf(seconds);
    if (stretch == vehiclesStretch_) return;
    scheduleStretch(options_, stretch, vehicles_);
    scheduleWalkers(options_, stretch, vehicles_, walkers_);
    vehiclesStretch_ = stretch;
    if (!nightLights_) return;
    scheduleStretch(options_, stretch + 1, lampVehicles_);
    lampVehicles_.insert(lampVehicles_.begin(), vehicles_.begin(), vehicles_.end());
}

void SceneRenderer::drawTraffic(double seconds, int light, double lampShare, std::uint8_t* picture) {
    const int lampLight = options_.headlights && !nightLights_ ? headlampLight : 0;
    const auto draw = [&](const Vehicle& vehicle) {
        if (bodyRows(vehicle, seconds).empty()) return;
        // After dark there is no sun to cast its shadow.
        if (!nightLights_ || lampShare < 0.5) paintShadow(vehicle, seconds, picture);
        const int bodyLight = nightLights_ ? light + nightLights_->bodyLight(vehicle, seconds) : light;
        paintVehicle(vehicle, seconds, bodyLight, lampLight, picture);
        if (nightLights_) nightLights_->paintLamps(vehicle, seconds, lampShare, picture);
    };
    // Further vehicles are drawn first, so nearer ones cover them: coming,
    // the later arrivals; going, the earlier ones. The lanes do not overlap.
    for (auto vehicle = vehicles_.rbegin(); vehicle != vehicles_.rend(); ++vehicle) {
        if (vehicle->heading == Heading::toward) draw(*vehicle);
    }
    for (const Vehicle& vehicle : vehicles_) {
        if (vehicle.heading == Heading::away) draw(vehicle);
    }
    for (const Walker& walker : walkers_) paintWalker(walker, seconds, light, picture);
}

void SceneRenderer::weatherAndCamera(std::int64_t frame, double seconds, std::uint8_t* picture) {
    if (options_.softClouds) shadeSoftClouds(options_.seed, seconds, picture);
    if (options_.shake) {
        std::memcpy(still_.data(), picture, pictureBytes);
        shakePicture(still_.data(), shakeOffset(options_.seed, seconds), picture);
    }
    if (rain_) rain_->fall(frame, seconds, picture);
}

void SceneRenderer::addSensorNoise(std::int64_t frame, std::uint8_t* picture) const {
    const std::uint64_t offset =
        streamKey(options_.seed, Purpose::noiseOffset, static_cast<std::uint64_t>(frame)) % noiseOffsets;
    addNoise(picture, noise_.data() + offset);
}

}  // namespace platform::synthetic
