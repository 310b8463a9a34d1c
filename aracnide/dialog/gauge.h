#pragma once
// The progress gauge (control 80): a light yellow bar with a red part for the work done and the
// percentage drawn across both, black on red and red on light yellow.

#include <QRect>
#include <QString>
#include <QWidget>

namespace aracnide {

// Where the gauge's parts lie for a client rectangle of `size` and a percentage `JgCur` (0..100).
struct GaugeGeometry {
    QRect rectG;     // the done part, red
    QRect rectD;     // the remaining part, light yellow
    int larg = 0;    // usable width: width of the bar area + 2
    int split = 0;   // larg * JgCur / 100: where rectG ends and rectD starts
    QPoint textPos;  // top left of the text
    QString text;    // "%d %"
};
GaugeGeometry ComputeGauge(const QSize& size, int JgCur);

class Gauge : public QWidget {
    Q_OBJECT
public:
    explicit Gauge(QWidget* parent = nullptr);
    // The progress command: stores the percentage and repaints the gauge.
    void SetPercent(int percent);
    int JgCur() const { return JgCur_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int JgCur_ = 0;
    bool isStart_ = true;  // the very first drawing shows the empty gauge only
};

}  // namespace aracnide
