#pragma once

#include <QLabel>

namespace travaso {

// Text layout flags of a big label: its horizontal alignment, from the top, tabs expanded, words
// always broken, "&" marking an accelerator when showAccel.
int BigLabelFlags(Qt::Alignment alignment, bool showAccel);

// The size an auto-sized big label takes for text in font metrics fm, at most width wide when words
// break (wordWrap, or a text of more than 255 characters). An empty text, or a lone "&" that marks an
// accelerator, is measured as one space.
QSize BigLabelExtent(const QFontMetrics& fm, const QString& text, bool wordWrap, bool showAccel, int width);

// A label for captions of any length, drawn with word breaks and expanded tabs, optionally sizing
// itself to its text (a right-aligned one keeps its right edge).
class TzBigLabel : public QLabel {
    Q_OBJECT

public:
    explicit TzBigLabel(QWidget* parent = nullptr);

    // Replaces QLabel::setText so that a new text re-measures the label.
    void setText(const QString& text);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    // Without Transparent the label is first filled with Color.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    bool ShowAccelChar() const { return showAccel_; }
    void SetShowAccelChar(bool on);

    // Takes the measured size when AutoSize is on.
    void AdjustBounds();

signals:
    void OnMouseEnter(TzBigLabel* sender);
    void OnMouseLeave(TzBigLabel* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool transparent_ = false;
    QColor color_;
    bool showAccel_ = true;
};

}  // namespace travaso
