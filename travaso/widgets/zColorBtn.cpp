#include "zColorBtn.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>

namespace travaso {

namespace {

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

constexpr Qt::KeyboardModifiers kBlockingModifiers = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

}  // namespace

TzColorBtn::TzColorBtn(QWidget* parent)
    : QWidget(parent),
      color_(palette().color(QPalette::Button)),
      highlight_(palette().color(QPalette::Light)),
      shadow_(palette().color(QPalette::Dark))
{
    resize(89, 33);
    setFocusPolicy(Qt::StrongFocus);
    // The face covers every pixel: no background is erased under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
    WatchWindow();
}

// The focus moves on while QWidget's destructor runs: by then this is no button to tell.
TzColorBtn::~TzColorBtn()
{
    disconnect(focusConnection_);
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
}

void TzColorBtn::SetCaption(const QString& caption)
{
    caption_ = caption;
    if (shortcutId_ != 0)
        releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    if (const QKeySequence mnemonic = QKeySequence::mnemonic(caption); !mnemonic.isEmpty())
        shortcutId_ = grabShortcut(mnemonic);
    update();
}

void TzColorBtn::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

void TzColorBtn::SetDefaultLook(TzcDefLook look)
{
    defaultLook_ = look;
    update();
}

void TzColorBtn::SetFlat(bool on)
{
    flat_ = on;
    UpdateHot();
    update();
}

void TzColorBtn::SetHorzAlign(zbHorzAlign place)
{
    verticalPlace_ = place;
    update();
}

void TzColorBtn::SetMultipleLines(bool on)
{
    multipleLines_ = on;
    update();
}

void TzColorBtn::SetWordWrap(bool on)
{
    wordWrap_ = on;
    update();
}

void TzColorBtn::SetAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

void TzColorBtn::SetHighLightColor(const QColor& color)
{
    highlight_ = color;
    update();
}

void TzColorBtn::SetShadowColor(const QColor& color)
{
    shadow_ = color;
    update();
}

void TzColorBtn::SetDefault(bool on)
{
    default_ = on;
    FocusChanged(window()->focusWidget());
    update();
}

ButtonFace TzColorBtn::Face() const
{
    ButtonFace face;
    face.size = size();
    face.caption = caption_;
    face.font = font();
    face.fontColor = palette().color(QPalette::ButtonText);
    face.color = color_;
    face.highlight = highlight_;
    face.shadow = shadow_;
    face.defaultLook = defaultLook_;
    face.verticalPlace = verticalPlace_;
    face.alignment = alignment_;
    face.multipleLines = multipleLines_;
    face.wordWrap = wordWrap_;
    face.enabled = isEnabled();
    face.focused = hasFocus();
    face.isDefault = default_;
    face.pressed = pressed_;
    face.hot = hot_;
    face.tracking = tracking_;
    face.flat = flat_;
    return face;
}

void TzColorBtn::Click()
{
    QPointer<TzColorBtn> self(this);
    hot_ = pressed_ = tracking_ = false;
    repaint();
    if (modalResult_ != 0)
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(modalResult_);
    emit OnClick(this);
    if (self)  // a click handler may have deleted the button
        UpdateHot();
}

bool TzColorBtn::CanFocus() const
{
    return isEnabled() && isVisible() && (focusPolicy() & Qt::TabFocus);
}

void TzColorBtn::UpdateHot()
{
    const bool hot = flat_ && isEnabled() && underMouse();
    if (hot != hot_) {
        hot_ = hot;
        update();
    }
}

void TzColorBtn::FocusChanged(QWidget* now)
{
    if (now && now->window() != window())
        return;
    const bool active = now == this || (!qobject_cast<TzColorBtn*>(now) && default_);
    if (active != active_) {
        active_ = active;
        update();
    }
}

// Enter and Esc that no control took reach the window: the dialog keys of its buttons.
void TzColorBtn::WatchWindow()
{
    QWidget* w = window();
    if (w == watchedWindow_)
        return;
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
    watchedWindow_ = w != this ? w : nullptr;
    if (watchedWindow_)
        watchedWindow_->installEventFilter(this);
}

bool TzColorBtn::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedWindow_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & kBlockingModifiers) == 0 && CanFocus()) {
            if ((IsEnterKey(key->key()) && active_) || (key->key() == Qt::Key_Escape && cancel_)) {
                Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TzColorBtn::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent*>(event)->shortcutId() == shortcutId_) {
            if (CanFocus())
                Click();
            return true;
        }
        break;
    case QEvent::ParentChange:
        WatchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TzColorBtn::paintEvent(QPaintEvent*)
{
    // Painted off screen and copied in one step, so the face never shows half drawn.
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    {
        QPainter p(&image);
        PaintButtonFace(p, Face());
    }
    QPainter(this).drawImage(0, 0, image);
    emit OnPaint(this);
}

void TzColorBtn::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (CanFocus())
        setFocus(Qt::MouseFocusReason);
    pressed_ = true;
    tracking_ = true;
    repaint();
}

void TzColorBtn::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracking_)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != pressed_) {
        pressed_ = inside;
        repaint();
    }
}

void TzColorBtn::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && tracking_) {
        const bool inside = rect().contains(event->position().toPoint());
        pressed_ = false;
        tracking_ = false;
        repaint();
        UpdateHot();
        if (inside)
            Click();
        return;
    }
    if (event->button() == Qt::RightButton && flat_ && popupMenu_) {
        hot_ = false;
        repaint();
        QPointer<TzColorBtn> self(this);
        popupMenu_->exec(event->globalPosition().toPoint());
        if (self)
            UpdateHot();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TzColorBtn::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit OnDblClick(this);
    // The second press of a double click presses the button as any press does.
    mousePressEvent(event);
}

void TzColorBtn::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && event->modifiers() == Qt::NoModifier) {
        if (!pressed_) {
            pressed_ = true;
            repaint();
        }
        return;
    }
    if (IsEnterKey(event->key()) && (event->modifiers() & kBlockingModifiers) == 0) {
        Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TzColorBtn::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        if (pressed_ && !tracking_) {
            QPointer<TzColorBtn> self(this);
            Click();
            if (self && pressed_) {
                pressed_ = false;
                repaint();
            }
        }
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TzColorBtn::focusOutEvent(QFocusEvent* event)
{
    pressed_ = false;
    tracking_ = false;
    QWidget::focusOutEvent(event);
}

void TzColorBtn::enterEvent(QEnterEvent* event)
{
    emit OnMouseEnter(this);
    if (flat_ && isEnabled() && !hot_) {
        hot_ = true;
        repaint();
    }
    if (autoFocus_ && CanFocus())
        setFocus(Qt::MouseFocusReason);
    QWidget::enterEvent(event);
}

void TzColorBtn::leaveEvent(QEvent* event)
{
    emit OnMouseLeave(this);
    if (hot_ && !tracking_) {
        hot_ = false;
        repaint();
    }
    QWidget::leaveEvent(event);
}

void TzColorBtn::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            pressed_ = tracking_ = false;
        UpdateHot();
        update();
    }
    QWidget::changeEvent(event);
}

}  // namespace travaso
