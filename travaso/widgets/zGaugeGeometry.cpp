#include "zGaugeGeometry.h"

#include <algorithm>

namespace travaso {

int GaugeBorder(BevelKind outer, BevelKind inner, int bevelWidth, int frameWidth)
{
    return (outer != BevelKind::None ? bevelWidth : 0) + (inner != BevelKind::None ? bevelWidth : 0) + frameWidth;
}

int GaugeFillEnd(int left, int width, std::int32_t min, std::int32_t max, std::int32_t value)
{
    const std::int64_t span = std::int64_t(max) - min;
    const std::int64_t done = std::int64_t(value) - min;
    const std::int64_t end = left + (span != 0 ? std::int64_t(width) * done / span : std::int64_t(width) * done);
    return int(std::clamp<std::int64_t>(end, left, std::int64_t(left) + width));
}

int GaugePercent(std::int32_t min, std::int32_t max, std::int32_t value)
{
    const std::int64_t span = std::int64_t(max) - min;
    if (span <= 0)
        return 0;
    return int(std::clamp<std::int64_t>((std::int64_t(value) - min) * 100 / span, 0, 100));
}

std::int32_t GaugeValueForPercent(std::int32_t min, std::int32_t max, int percent)
{
    percent = std::clamp(percent, 0, 100);
    return std::int32_t((std::int64_t(max) - min) * (percent / 100.0) + min);
}

LedLayout GaugeLeds(int left, int right, int count, int space, int fillEnd)
{
    LedLayout layout{{}, {}, left};
    if (count <= 0)
        return layout;
    const int width = right - left;
    const int pitch = width / count;
    const int led = std::max(1, (width - space * (count - 1)) / count);
    int x = left;
    while (x < fillEnd && x + led <= right) {
        layout.leds.push_back({x, x + led});
        if (x + pitch <= right) {
            if (x + pitch > x + led)
                layout.gaps.push_back({x + led, x + pitch});
            x += space;
        }
        x += led;
    }
    layout.restFrom = x;
    return layout;
}

std::optional<QString> GaugeCaptionText(const QString& format, gaCaptionStyle style, int percent, std::int32_t value)
{
    std::vector<std::int64_t> args;
    switch (style) {
    case gaPctBar:
        args = {percent};
        break;
    case gaTotalBar:
        args = {value};
        break;
    case gaTotPct:
        args = {value, percent};
        break;
    case gaPctTot:
        args = {percent, value};
        break;
    }
    QString out;
    std::size_t next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++i >= format.size())
            return std::nullopt;
        if (format[i] == u'%') {
            out += u'%';
        } else if (format[i] == u'd' && next < args.size()) {
            out += QString::number(args[next++]);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace travaso
