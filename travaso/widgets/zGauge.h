#pragma once

#include "zGaugeGeometry.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace travaso {

// Progress gauge drawn as one bar or a row of LEDs inside optional bevels, optionally filled from a
// tiled picture, with an optional caption in bar mode. Setters repaint at once (repaint(), not
// update()), so a loop that processes no events still shows every new value; a value that changes no
// pixel is not repainted.
class TzGauge : public QWidget {
    Q_OBJECT

public:
    explicit TzGauge(QWidget* parent = nullptr);

    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);
    int Percent() const;
    void SetPercent(int percent);
    bool DrawOnlyWhenPCTChange() const { return drawOnlyWhenPctChange_; }
    void SetDrawOnlyWhenPCTChange(bool on) { drawOnlyWhenPctChange_ = on; }
    // Background, frame, margin and gap colour; the parent's background unless set.
    QColor Color() const;
    void SetColor(const QColor& color);
    bool ParentColor() const { return !color_.has_value(); }
    void SetParentColor(bool on);
    gaCaptionStyle CaptionStyle() const { return captionStyle_; }
    void SetCaptionStyle(gaCaptionStyle style);
    QColor BarColor() const { return barColor_; }
    void SetBarColor(const QColor& color);
    // A format string with %d placeholders (and %% for a percent sign); empty means no text.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    BevelKind BevelInner() const { return bevelInner_; }
    void SetBevelInner(BevelKind kind);
    BevelKind BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(BevelKind kind);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t min);
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t max);
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t value);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int SpaceBetweenLed() const { return spaceBetweenLed_; }
    void SetSpaceBetweenLed(int space);
    // 0 = continuous bar; N > 0 = N LED segments.
    int NumberOfLed() const { return numberOfLed_; }
    void SetNumberOfLed(int count);
    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int width);

    // The last caption text painted.
    QString CaptionText() const { return captionText_; }
    const QImage& TileCache() const { return tile_; }

    virtual void BuildGlyphTile();
    virtual void StepBy(std::int32_t delta) { SetValue(value_ + delta); }

signals:
    void OnMinimum(TzGauge* sender);
    void OnMaximum(TzGauge* sender);
    void OnPaint(TzGauge* sender);
    void OnMouseEnter(TzGauge* sender);
    void OnMouseLeave(TzGauge* sender);
    void OnClick(TzGauge* sender);
    void OnDblClick(TzGauge* sender);
    void OnMouseDown(TzGauge* sender, QMouseEvent* event);
    void OnMouseMove(TzGauge* sender, QMouseEvent* event);
    void OnMouseUp(TzGauge* sender, QMouseEvent* event);

protected:
    virtual void DoMinimum() { emit OnMinimum(this); }
    virtual void DoMaximum() { emit OnMaximum(this); }

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // What a value change can alter in the painted picture.
    struct Picture {
        int fillEnd = 0;
        QString caption;
        bool operator==(const Picture&) const = default;
    };
    Picture ValuePicture() const;

    QImage glyph_;
    QImage tile_;  // glyph_ tiled over the gauge's size; null without a glyph
    bool drawOnlyWhenPctChange_ = false;
    std::optional<QColor> color_;
    gaCaptionStyle captionStyle_ = gaPctBar;
    QColor barColor_{255, 0, 255};
    QString caption_;
    QString captionText_;
    BevelKind bevelInner_ = BevelKind::None;
    BevelKind bevelOuter_ = BevelKind::Raised;
    int bevelWidth_ = 1;
    std::int32_t min_ = 0;
    std::int32_t max_ = 100;
    std::int32_t value_ = 0;
    int margin_ = 1;
    int spaceBetweenLed_ = 1;
    int numberOfLed_ = 0;
    int frameWidth_ = 0;
    bool pressed_ = false;
};

}  // namespace travaso
