#include "FramesetPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include <cmath>

namespace calamo {

namespace {

constexpr int kRow = 21;

QPixmap framesetPixmap(int button, QSize size, int scale)
{
    QPixmap pixmap(size * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // Paint in device pixels so that every edge lands on a whole pixel at either scale.
    p.scale(1.0 / scale, 1.0 / scale);
    const QRect page(0, 0, size.width() * scale, size.height() * scale);
    const auto snap = [&page](double fx, double fy) {
        return QPoint(page.x() + static_cast<int>(std::lround(fx * (page.width() - 1))),
                      page.y() + static_cast<int>(std::lround(fy * (page.height() - 1))));
    };
    static const QColor kFills[] = {QColor(0xD6, 0xE6, 0xF7), QColor(0xF7, 0xEE, 0xCF), QColor(0xDD, 0xF0, 0xD8),
                                    QColor(0xF2, 0xDC, 0xE6)};
    const std::vector<QRectF> cells = FramesetCells(button);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const QRectF& c = cells[i];
        const QRect cell(snap(c.left(), c.top()), snap(c.right(), c.bottom()));
        p.fillRect(cell, kFills[i % std::size(kFills)]);
        // A few grey text lines suggest the page each frame shows.
        p.setPen(QPen(QColor(0x9A, 0xA4, 0xB0), scale));
        const int step = 4 * scale;
        for (int y = cell.top() + step; y + scale < cell.bottom() - scale && y < cell.top() + 4 * step; y += step) {
            const int right = cell.left() + std::max(cell.width() * 2 / 3, 2 * scale);
            if (right > cell.left() + 3 * scale)
                p.drawLine(cell.left() + 2 * scale, y, std::min(right, cell.right() - 2 * scale), y);
        }
    }
    // Frame borders: one device pixel per scale step, drawn as filled rectangles for exact placement.
    const QColor ink(0x2B, 0x3A, 0x4A);
    for (const QRectF& c : cells) {
        const QRect cell(snap(c.left(), c.top()), snap(c.right(), c.bottom()));
        p.fillRect(QRect(cell.left(), cell.top(), cell.width(), scale), ink);
        p.fillRect(QRect(cell.left(), cell.bottom() - scale + 1, cell.width(), scale), ink);
        p.fillRect(QRect(cell.left(), cell.top(), scale, cell.height()), ink);
        p.fillRect(QRect(cell.right() - scale + 1, cell.top(), scale, cell.height()), ink);
    }
    return pixmap;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption, QRect geometry)
{
    auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
    check->setObjectName(QLatin1String(name));
    check->setGeometry(geometry);
    return check;
}

QComboBox* comboBox(QWidget* parent, const char* name, QStringList items, QRect geometry)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    combo->setGeometry(geometry);
    return combo;
}

template <typename T>
T* find(const QWidget* panel, const char* name)
{
    T* widget = panel->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("Frameset panel: no control named %s", name);
    return widget;
}

}  // namespace

QIcon framesetIcon(int button, QSize size)
{
    QIcon icon;
    icon.addPixmap(framesetPixmap(button, size, 1));
    icon.addPixmap(framesetPixmap(button, size, 2));
    return icon;
}

void buildFramesetPanel(QGroupBox* panel)
{
    const int width = panel->width();
    for (int i = 1; i <= kFramesetTemplates; ++i) {
        auto* button = new QToolButton(panel);
        button->setObjectName(QStringLiteral("FrButton%1").arg(i, 2, 10, QLatin1Char('0')));
        const int column = (i - 1) % 2;
        const int row = (i - 1) / 2;
        button->setGeometry(10 + column * 68, 24 + row * 34, 62, 30);
        button->setIconSize(QSize(52, 22));
        button->setIcon(framesetIcon(i, button->iconSize()));
    }

    auto* cornice = new QGroupBox(QStringLiteral("Cornice"), panel);
    cornice->setGeometry(4, 24 + 6 * 34, width - 8, 18 + 3 * kRow + 4);
    const int inner = cornice->width();
    checkBox(cornice, "CheckBox35", "Larghezzza", QRect(5, 18, 84, kRow - 2));
    auto* edit1 = new QLineEdit(QStringLiteral("1"), cornice);
    edit1->setObjectName(QStringLiteral("Edit1"));
    edit1->setGeometry(90, 18, inner - 96, kRow - 2);
    checkBox(cornice, "CheckBox37", "Cornice?", QRect(5, 18 + kRow, 84, kRow - 2));
    comboBox(cornice, "ComboBox11", {QStringLiteral("yes"), QStringLiteral("no")},
             QRect(90, 18 + kRow, inner - 96, kRow - 2));
    checkBox(cornice, "CheckBox39", "Specifica colore", QRect(5, 18 + 2 * kRow, inner - 10, kRow - 2));

    auto* frame = new QGroupBox(QStringLiteral("Frame"), panel);
    frame->setGeometry(4, cornice->geometry().bottom() + 4, width - 8, 18 + 3 * kRow + 4);
    checkBox(frame, "CheckBox40", "Barra di scorrimento?", QRect(5, 18, inner - 10, kRow - 2));
    comboBox(frame, "ComboBox12", {QStringLiteral("yes"), QStringLiteral("no"), QStringLiteral("auto")},
             QRect(22, 18 + kRow, inner - 28, kRow - 2));
    checkBox(frame, "CheckBox38", "No ridimensionamenti", QRect(5, 18 + 2 * kRow, inner - 10, kRow - 2));
}

FramesetPanel readFramesetPanel(const QWidget* panel)
{
    FramesetPanel p;
    p.CheckBox35 = find<QCheckBox>(panel, "CheckBox35")->isChecked();
    p.Edit1 = find<QLineEdit>(panel, "Edit1")->text();
    p.CheckBox37 = find<QCheckBox>(panel, "CheckBox37")->isChecked();
    p.ComboBox11 = find<QComboBox>(panel, "ComboBox11")->currentText();
    p.CheckBox39 = find<QCheckBox>(panel, "CheckBox39")->isChecked();
    p.CheckBox40 = find<QCheckBox>(panel, "CheckBox40")->isChecked();
    p.ComboBox12 = find<QComboBox>(panel, "ComboBox12")->currentText();
    p.CheckBox38 = find<QCheckBox>(panel, "CheckBox38")->isChecked();
    return p;
}

}  // namespace calamo
