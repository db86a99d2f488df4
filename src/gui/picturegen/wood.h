#pragma once
// Wood surfaces for the generated pictures: straight-grained board wood (柾目), the darker wood
// of the piece stands, and the pale boxwood of the pieces. Deterministic: the same grain always
// gives the same picture, so the build's output does not change from run to run.
#include <QColor>
#include <QImage>
#include <QSize>

#include <cstdint>

namespace movra::picturegen {

struct WoodTone {
    QColor light;     // the wood between the grain lines
    QColor dark;      // the grain lines
    double grain;     // how strongly the lines show, 0-1
    double spacing;   // mean distance of the grain lines in pixels
    double wobble;    // how far the lines bend, in pixels
};

// Board wood (kaya): golden yellow with fine straight grain.
WoodTone KayaTone();
// Piece stand wood: a deep reddish brown.
WoodTone StandTone();
// Piece wood (boxwood): pale yellow with faint grain.
WoodTone BoxwoodTone();
// The flatter tones of the 256-colour set.
WoodTone KayaTone256();
WoodTone StandTone256();

// A wood surface whose grain runs from top to bottom (or left to right when `across`).
QImage WoodSurface(QSize size, const WoodTone& tone, std::uint32_t grain, bool across = false);

// Small deterministic random numbers (xorshift) for the textures.
class Random {
public:
    explicit Random(std::uint32_t grain) : state_(grain ? grain : 0x9E3779B9u) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [0, 1).
    double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }

private:
    std::uint32_t state_;
};

// Blends two colours: t = 0 gives a, t = 1 gives b.
QColor Mix(const QColor& a, const QColor& b, double t);

}  // namespace movra::picturegen
