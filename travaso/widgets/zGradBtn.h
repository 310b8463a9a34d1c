#pragma once

#include "zColorBtn.h"

namespace travaso {

// TzColorBtn filled with a gradient from Color to EndColor, in Bands steps, by FillType.
class TzGradBtn : public TzColorBtn {
    Q_OBJECT

public:
    explicit TzGradBtn(QWidget* parent = nullptr);

    QColor EndColor() const { return endColor_; }
    void SetEndColor(const QColor& color);
    gradType FillType() const { return fillType_; }
    void SetFillType(gradType type);
    int Bands() const { return bands_; }
    void SetBands(int bands);

    ButtonFace Face() const override;

private:
    QColor endColor_;
    gradType fillType_ = gVert;
    int bands_ = 75;
};

}  // namespace travaso
