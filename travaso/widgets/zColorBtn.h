#pragma once

#include "zButtonFace.h"

#include <QPointer>
#include <QWidget>

class QMenu;

namespace travaso {

// A push button that draws itself: plain colour, optional hot-tracking ("flat") border, three ways of
// marking the focused or default button. Enter clicks the active button (the focused one, or the
// default one while no such button has the focus), Esc clicks a Cancel button, Alt with the caption's
// accelerator letter clicks it. All painting goes through PaintButtonFace.
class TzColorBtn : public QWidget {
    Q_OBJECT

public:
    explicit TzColorBtn(QWidget* parent = nullptr);
    ~TzColorBtn() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // Face colour (the gradient's start colour in TzGradBtn).
    QColor Color() const { return color_; }
    virtual void SetColor(const QColor& color);
    TzcDefLook DefaultLook() const { return defaultLook_; }
    void SetDefaultLook(TzcDefLook look);
    bool AutoFocus() const { return autoFocus_; }
    void SetAutoFocus(bool on) { autoFocus_ = on; }
    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    zbHorzAlign HorzAlign() const { return verticalPlace_; }
    void SetHorzAlign(zbHorzAlign place);
    bool MultipleLines() const { return multipleLines_; }
    void SetMultipleLines(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    QColor HighLightColor() const { return highlight_; }
    void SetHighLightColor(const QColor& color);
    QColor ShadowColor() const { return shadow_; }
    void SetShadowColor(const QColor& color);
    bool Default() const { return default_; }
    void SetDefault(bool on);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    // Given to the window's dialog (QDialog::done) on click when not 0.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    bool Tracking() const { return tracking_; }
    // Receives Enter: has the focus, or is Default while no such button has it.
    bool Active() const { return active_; }

    // What a paint shows in the current state.
    virtual ButtonFace Face() const;

    // Clears hot, pressed and tracking, repaints, passes ModalResult to the window, fires OnClick.
    void Click();

signals:
    void OnClick(TzColorBtn* sender);
    void OnDblClick(TzColorBtn* sender);
    void OnPaint(TzColorBtn* sender);
    void OnMouseEnter(TzColorBtn* sender);
    void OnMouseLeave(TzColorBtn* sender);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool CanFocus() const;
    void UpdateHot();
    void FocusChanged(QWidget* now);
    void WatchWindow();

    QString caption_;
    QColor color_;
    TzcDefLook defaultLook_ = dlBold;
    bool autoFocus_ = false;
    bool flat_ = false;
    zbHorzAlign verticalPlace_ = zbha_Center;
    bool multipleLines_ = false;
    bool wordWrap_ = false;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    QColor highlight_;
    QColor shadow_;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    QMenu* popupMenu_ = nullptr;
    int shortcutId_ = 0;
    QPointer<QWidget> watchedWindow_;
    QMetaObject::Connection focusConnection_;

    bool hot_ = false;
    bool pressed_ = false;
    bool tracking_ = false;
    bool active_ = false;
};

}  // namespace travaso
