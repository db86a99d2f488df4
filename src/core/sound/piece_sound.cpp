#include "core/sound/piece_sound.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>

namespace movra {
namespace fs = std::filesystem;

namespace {

// A fixed xorshift generator: the same noise on every machine and every call.
class Noise {
public:
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;  // [-1, 1)
    }

private:
    std::uint32_t state_ = 0x2545F491u;
};

// One resonance of the board: a two-pole filter ringing at `hz`, its amplitude falling to 1/e
// in `decaySeconds`.
struct Mode {
    double hz;
    double decaySeconds;
    double weight;
};
constexpr std::array<Mode, 4> kModes{{
    {690.0, 0.030, 1.00},   // the body of the board
    {1480.0, 0.018, 0.70},
    {2630.0, 0.010, 0.45},  // the piece itself
    {4150.0, 0.005, 0.30},
}};

// The strikes: the piece lands, then settles once more a moment later, softer.
struct Strike {
    double atSeconds;
    double amplitude;
};
constexpr std::array<Strike, 2> kStrikes{{{0.0, 1.0}, {0.011, 0.32}}};

constexpr double kSeconds = 0.16;
constexpr double kStrikeDecay = 0.0006;  // the noise of each contact dies within ~3 ms
constexpr double kFadeSeconds = 0.012;
constexpr double kPeak = 0.85;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetLe(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

}  // namespace

std::vector<std::int16_t> SynthesizePieceSound(int sampleRate) {
    sampleRate = std::clamp(sampleRate, 8000, 96000);
    const double rate = sampleRate;
    const auto count = static_cast<std::size_t>(kSeconds * rate);

    // The excitation: short bursts of decaying noise.
    Noise noise;
    std::vector<double> excitation(count, 0.0);
    for (const Strike& strike : kStrikes) {
        const auto start = static_cast<std::size_t>(strike.atSeconds * rate);
        const auto length = static_cast<std::size_t>(6 * kStrikeDecay * rate) + 1;
        for (std::size_t i = 0; i < length && start + i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            excitation[start + i] += strike.amplitude * noise.Next() * std::exp(-t / kStrikeDecay);
        }
    }

    // The resonances, each brought to a peak of 1 before weighting, plus a little of the raw
    // contact noise for the hard edge of wood on wood.
    std::vector<double> mix(count, 0.0);
    std::vector<double> ring(count, 0.0);
    for (const Mode& mode : kModes) {
        if (mode.hz * 2 >= rate) continue;
        const double r = std::exp(-1.0 / (mode.decaySeconds * rate));
        const double a1 = 2.0 * r * std::cos(2.0 * std::numbers::pi * mode.hz / rate);
        const double a2 = -r * r;
        double y1 = 0.0;
        double y2 = 0.0;
        double peak = 0.0;
        for (std::size_t i = 0; i < count; ++i) {
            const double y = excitation[i] + a1 * y1 + a2 * y2;
            y2 = y1;
            y1 = y;
            ring[i] = y;
            peak = std::max(peak, std::abs(y));
        }
        if (peak == 0.0) continue;
        for (std::size_t i = 0; i < count; ++i) mix[i] += mode.weight * ring[i] / peak;
    }
    for (std::size_t i = 0; i < count; ++i) mix[i] += 0.35 * excitation[i];

    // A short fade at the end, then the whole brought to the peak level.
    const auto fade = static_cast<std::size_t>(kFadeSeconds * rate);
    for (std::size_t i = 0; i < fade && i < count; ++i) {
        mix[count - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
    }
    double peak = 0.0;
    for (double v : mix) peak = std::max(peak, std::abs(v));
    std::vector<std::int16_t> samples(count, 0);
    if (peak == 0.0) return samples;
    const double scale = kPeak * 32767.0 / peak;
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(mix[i] * scale));
    }
    return samples;
}

std::string WavFileBytes(const std::vector<std::int16_t>& samples, int sampleRate) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVE";
    out += "fmt ";
    PutLe(out, 16, 4);        // size of the format chunk
    PutLe(out, 1, 2);         // PCM
    PutLe(out, 1, 2);         // mono
    PutLe(out, rate, 4);
    PutLe(out, rate * 2, 4);  // bytes a second
    PutLe(out, 2, 2);         // bytes a sample frame
    PutLe(out, 16, 2);        // bits a sample
    out += "data";
    PutLe(out, dataBytes, 4);
    for (std::int16_t s : samples) PutLe(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

bool WritePieceSound(const fs::path& file, std::string* error) {
    const std::string bytes = WavFileBytes(SynthesizePieceSound(kPieceSoundRate), kPieceSoundRate);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        if (error) *error = "cannot write " + file.string();
        return false;
    }
    return true;
}

int WavInfo::durationMs() const {
    const std::uint64_t perSecond =
        static_cast<std::uint64_t>(sampleRate) * static_cast<std::uint64_t>(channels) *
        static_cast<std::uint64_t>(bitsPerSample / 8);
    if (perSecond == 0) return 0;
    return static_cast<int>((static_cast<std::uint64_t>(dataBytes) * 1000 + perSecond - 1) / perSecond);
}

bool ParseWavInfo(std::string_view bytes, WavInfo* info) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return false;
    }
    WavInfo found;
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = GetLe(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t left = bytes.size() - body;
        if (id == "fmt ") {
            if (size < 16 || size > left) return false;
            if (GetLe(bytes, body, 2) != 1) return false;  // only plain PCM
            found.channels = static_cast<int>(GetLe(bytes, body + 2, 2));
            found.sampleRate = static_cast<int>(GetLe(bytes, body + 4, 4));
            found.bitsPerSample = static_cast<int>(GetLe(bytes, body + 14, 2));
            if (found.channels < 1 || found.channels > 2 || found.sampleRate < 1000 ||
                found.sampleRate > 192000 || (found.bitsPerSample != 8 && found.bitsPerSample != 16)) {
                return false;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return false;
            // A file cut short plays what it holds.
            found.dataBytes = static_cast<std::uint32_t>(std::min<std::size_t>(size, left));
            if (found.dataBytes == 0) return false;
            if (info) *info = found;
            return true;
        }
        if (size > left) return false;
        at = body + size + (size & 1);  // chunks are padded to an even length
    }
    return false;
}

bool ReadWavInfo(const fs::path& file, WavInfo* info) {
    // Sounds are short: the whole file is read.
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ParseWavInfo(bytes, info);
}

}  // namespace movra
