#include "gui/picturegen/wood.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace movra::picturegen {
namespace {

// Smooth 1-D value noise: random values at knots `period` apart, joined by cosine curves.
std::vector<double> ValueNoise(int length, double period, Random& random) {
    const int knots = static_cast<int>(length / period) + 3;
    std::vector<double> k(knots);
    for (double& v : k) v = random.Unit();
    std::vector<double> out(length);
    for (int i = 0; i < length; ++i) {
        const double p = i / period;
        const int a = static_cast<int>(p);
        const double f = (1.0 - std::cos((p - a) * M_PI)) * 0.5;
        out[i] = k[a] * (1.0 - f) + k[a + 1] * f;
    }
    return out;
}

double SmoothStep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

WoodTone KayaTone() { return {QColor(238, 194, 110), QColor(176, 116, 46), 0.5, 8.0, 3.0}; }
WoodTone StandTone() { return {QColor(150, 78, 40), QColor(92, 40, 18), 0.6, 12.0, 7.0}; }
WoodTone BoxwoodTone() { return {QColor(250, 222, 150), QColor(222, 178, 96), 0.35, 5.0, 2.0}; }
WoodTone KayaTone256() { return {QColor(232, 184, 96), QColor(200, 140, 64), 0.35, 11.0, 3.0}; }
WoodTone StandTone256() { return {QColor(144, 72, 36), QColor(104, 48, 24), 0.4, 14.0, 4.0}; }

QImage WoodSurface(QSize size, const WoodTone& tone, std::uint32_t grain, bool across) {
    const int w = across ? size.height() : size.width();
    const int h = across ? size.width() : size.height();
    Random random(grain);

    // The profile across the grain: broad bands, the grain lines, and fine fibres. The lines
    // bend slowly along the grain, so the profile is read at a shifted position in each row.
    const int margin = 64;
    const int length = w + 2 * margin;
    const std::vector<double> broad = ValueNoise(length, tone.spacing * 7.0, random);
    const std::vector<double> lines = ValueNoise(length, tone.spacing, random);
    const std::vector<double> thin = ValueNoise(length, std::max(1.6, tone.spacing / 3.0), random);
    const std::vector<double> fine = ValueNoise(length, 1.3, random);
    const std::vector<double> bendSlow = ValueNoise(h + 2, 220.0, random);
    const std::vector<double> bendFast = ValueNoise(h + 2, 60.0, random);

    std::vector<double> profile(length);
    for (int i = 0; i < length; ++i) {
        // Grain lines are the narrow peaks of the line noise; the broad bands shade the wood.
        const double line = SmoothStep(0.62, 0.95, lines[i]);
        const double thinLine = SmoothStep(0.7, 1.0, thin[i]);
        profile[i] = 0.22 * broad[i] + tone.grain * (0.75 * line + 0.45 * thinLine) + 0.08 * fine[i];
    }

    QImage image(size, QImage::Format_RGB32);
    Random speckle(grain * 2654435761u + 1u);
    for (int y = 0; y < h; ++y) {
        const double bend = tone.wobble * (2.0 * bendSlow[y] - 1.0) +
                            0.12 * tone.wobble * (2.0 * bendFast[y] - 1.0);
        for (int x = 0; x < w; ++x) {
            const double u = std::clamp(x + margin + bend, 0.0, length - 1.001);
            const int i = static_cast<int>(u);
            const double f = u - i;
            const double v = profile[i] * (1.0 - f) + profile[i + 1] * f;
            // Light falls from the top left; a faint fibre noise runs along the grain.
            const double light = 1.04 - 0.08 * (double(x) / w + double(y) / h) * 0.5;
            const double fibre = (speckle.Unit() - 0.5) * 0.035;
            QColor c = Mix(tone.light, tone.dark, std::clamp(v * 0.85 + fibre, 0.0, 1.0));
            const auto shade = [&](double channel) {
                return static_cast<int>(std::clamp(channel * light * 255.0, 0.0, 255.0));
            };
            const QRgb rgb = qRgb(shade(c.redF()), shade(c.greenF()), shade(c.blueF()));
            if (across) {
                image.setPixel(y, x, rgb);
            } else {
                reinterpret_cast<QRgb*>(image.scanLine(y))[x] = rgb;
            }
        }
    }
    return image;
}

}  // namespace movra::picturegen
