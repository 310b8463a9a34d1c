#include "zGradient.h"

#include <algorithm>
#include <cstdlib>

namespace travaso {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
    const std::int64_t result = (product < 0) != (c < 0) ? -magnitude : magnitude;
    return int(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

ColorDelta ColorDifference(const QColor& start, const QColor& end)
{
    return {std::int16_t(end.red() - start.red()), std::int16_t(end.green() - start.green()),
            std::int16_t(end.blue() - start.blue())};
}

QColor GradientStep(const QColor& start, ColorDelta delta, int i, int steps)
{
    auto channel = [&](int from, int d) { return std::clamp(from + MulDiv(i, d, steps), 0, 255); };
    return QColor(channel(start.red(), delta.red), channel(start.green(), delta.green),
                  channel(start.blue(), delta.blue));
}

int ClampBands(int bands)
{
    return std::clamp(bands, 1, 65536);
}

RingSteps CenterRings(int w, int h, int bands)
{
    const int n = std::max(1, std::min({ClampBands(bands), w / 2, h / 2}));
    return {n, std::max(1, (w / 2) / n), std::max(1, (h / 2) / n)};
}

namespace {

void Add(std::vector<ColorRect>& out, int left, int top, int right, int bottom, const QColor& color)
{
    if (right > left && bottom > top)
        out.push_back({QRect(left, top, right - left, bottom - top), color});
}

// Stripes across an extent of length pixels from origin; each stripe spans the other axis from
// crossFrom for crossLength pixels.
std::vector<ColorRect> Stripes(bool vertical, int origin, int length, int crossFrom, int crossLength,
                               const QColor& start, ColorDelta delta, int bands)
{
    std::vector<ColorRect> out;
    for (int i = 0; i <= bands; ++i) {
        const int from = origin + MulDiv(i, length, bands + 1);
        const int to = origin + MulDiv(i + 1, length, bands + 1);
        const QColor color = GradientStep(start, delta, i, bands);
        if (vertical)
            Add(out, from, crossFrom, to, crossFrom + crossLength, color);
        else
            Add(out, crossFrom, from, crossFrom + crossLength, to, color);
    }
    return out;
}

// Rings from r inwards; sidesBetween puts the left and right strips between the top and bottom ones
// instead of over the full height.
std::vector<ColorRect> Rings(QRect r, RingSteps steps, const QColor& start, ColorDelta delta, bool sidesBetween)
{
    std::vector<ColorRect> out;
    int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
    for (int i = 0; i <= steps.n; ++i) {
        const QColor color = GradientStep(start, delta, i, steps.n);
        if (i < steps.n) {
            Add(out, left, top, right, top + steps.sy, color);
            Add(out, left, bottom - steps.sy, right, bottom, color);
            const int sideTop = sidesBetween ? top + steps.sy : top;
            const int sideBottom = sidesBetween ? bottom - steps.sy : bottom;
            Add(out, left, sideTop, left + steps.sx, sideBottom, color);
            Add(out, right - steps.sx, sideTop, right, sideBottom, color);
        } else {
            Add(out, left, top, right, bottom, color);
        }
        left += steps.sx;
        right -= steps.sx;
        top += steps.sy;
        bottom -= steps.sy;
    }
    return out;
}

}  // namespace

std::vector<ColorRect> ButtonGradient(int width, int height, const QColor& start, const QColor& end, gradType fill,
                                      int bands, bool pressed)
{
    if (width <= 0 || height <= 0)
        return {};
    if (start.rgb() == end.rgb())
        return {{QRect(0, 0, width, height), start}};
    bands = ClampBands(bands);
    const int w1 = width - 1, h1 = height - 1, off = pressed ? 1 : 0;
    const ColorDelta delta = ColorDifference(start, end);
    switch (fill) {
    case gHorz:
        return Stripes(true, off, w1, off, h1, start, delta, bands);
    case gVert:
        return Stripes(false, off, h1, off, w1, start, delta, bands);
    case gCenter:
        return Rings(QRect(off + 1, off + 1, width - 2, height - 2), CenterRings(w1, h1, bands), start, delta, false);
    }
    return {};
}

std::vector<ColorRect> BackgroundGradient(int width, int height, const QColor& start, const QColor& end, gradType fill,
                                          int bands)
{
    if (width <= 0 || height <= 0)
        return {};
    bands = ClampBands(bands);
    const ColorDelta delta = ColorDifference(start, end);
    switch (fill) {
    case gHorz:
        return Stripes(true, 0, width, 0, height, start, delta, bands);
    case gVert:
        return Stripes(false, 0, height, 0, width, start, delta, bands);
    case gCenter:
        return Rings(QRect(0, 0, width, height), CenterRings(width, height, bands), start, delta, true);
    }
    return {};
}

}  // namespace travaso
