#pragma once

// Colour gradients as plain arithmetic: the bands that a gradient button or a gradient background
// fills, each a rectangle with its colour. Rectangles are QRects (width and height count pixels);
// bands of no area are left out.

#include <QColor>
#include <QRect>

#include <cstdint>
#include <vector>

namespace travaso {

enum gradType { gHorz, gVert, gCenter };

// Multiplies then divides with a 64-bit intermediate and rounds half away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

// End minus start for each channel: what a gradient adds to its start colour over its steps.
struct ColorDelta {
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    bool operator==(const ColorDelta&) const = default;
};
ColorDelta ColorDifference(const QColor& start, const QColor& end);

// Colour step i of steps from start: start + MulDiv(i, delta, steps) per channel.
QColor GradientStep(const QColor& start, ColorDelta delta, int i, int steps);

struct ColorRect {
    QRect rect;
    QColor color;
    bool operator==(const ColorRect&) const = default;
};

// The gradient of a button of width x height pixels. Stripes and rings cover width-1 x height-1 pixels
// from (off, off), off being 1 while the button is pressed; the outermost ring of a centre fill is left to
// the border. Equal start and end colours fill the whole button plainly.
std::vector<ColorRect> ButtonGradient(int width, int height, const QColor& start, const QColor& end, gradType fill,
                                      int bands, bool pressed);

// Number of rings, and their horizontal and vertical thickness, of a centre fill of extent w x h
// (already reduced as the caller needs): n = min(bands, w / 2, h / 2) and at least 1.
struct RingSteps {
    int n;
    int sx;
    int sy;
    bool operator==(const RingSteps&) const = default;
};
RingSteps CenterRings(int w, int h, int bands);

// The gradient over a whole client area of width x height, without offset.
std::vector<ColorRect> BackgroundGradient(int width, int height, const QColor& start, const QColor& end, gradType fill,
                                          int bands);

// Band counts outside 1..65536 are taken as the nearest bound: no band count makes an empty or
// unbounded gradient.
int ClampBands(int bands);

}  // namespace travaso
