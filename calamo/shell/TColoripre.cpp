#include "TColoripre.h"

#include "ColourPresets.h"
#include "DialogLook.h"
#include "DocumentEdits.h"
#include "DocumentTable.h"
#include "EditorControl.h"
#include "Prompts.h"
#include "WrapSelection.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace calamo {

namespace {

// A row of the list, kept in the presets' order rather than the toolkit's character order.
class PresetItem final : public QListWidgetItem {
public:
    explicit PresetItem(const QString& text) : QListWidgetItem(text) {}
    bool operator<(const QListWidgetItem& other) const override { return colourRowLess(text(), other.text()); }
};

QColor fromColorref(std::uint32_t colorref)
{
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}

QLabel* previewLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAutoFillBackground(true);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setFixedSize(48, 64);
    return label;
}

}  // namespace

QPixmap palettePicture(QSize size)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF board = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(2, 2, -2, -2);
    QPainterPath shape;
    shape.addEllipse(board);
    // The thumb hole.
    const qreal hole = board.height() / 5;
    QPainterPath thumb;
    thumb.addEllipse(QPointF(board.left() + board.width() * 0.72, board.top() + board.height() * 0.68), hole, hole);
    painter.setPen(QPen(QColor(0x6B, 0x4B, 0x2A), 1.5));
    painter.setBrush(QColor(0xDE, 0xB8, 0x87));
    painter.drawPath(shape.subtracted(thumb));
    const QColor paints[] = {Qt::red,  QColor(0xFF, 0xA5, 0x00), Qt::yellow, Qt::green,
                             Qt::blue, QColor(0x8A, 0x2B, 0xE2)};
    const QPointF centre = board.center();
    const qreal dot = board.height() / 9;
    for (int i = 0; i < 6; ++i) {
        const qreal angle = 3.6 - i * 0.62;  // radians, round the upper-left part of the board
        const QPointF at(centre.x() + std::cos(angle) * board.width() * 0.32,
                         centre.y() - std::sin(angle) * board.height() * 0.3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(paints[i]);
        painter.drawEllipse(at, dot, dot);
    }
    return picture;
}

TColoripre::TColoripre(DocumentTable& documents, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      documents_(documents),
      prompts_(prompts)
{
    setObjectName(QStringLiteral("TColoripre"));
    setWindowTitle(QStringLiteral("Colori Prefabbricati"));
    setModal(true);

    auto* layout = new QHBoxLayout(this);
    listBox1_ = new QListWidget(this);
    listBox1_->setObjectName(QStringLiteral("ListBox1"));
    listBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    listBox1_->setFont(listFont());
    listBox1_->setSortingEnabled(true);
    for (const ColourPreset& preset : colourPresets())
        listBox1_->addItem(new PresetItem(colourRowText(preset)));
    listBox1_->setMinimumSize(QFontMetrics(listBox1_->font()).horizontalAdvance(QString(kColourRowLength + 4, u'M')),
                              320);
    connect(listBox1_, &QListWidget::itemSelectionChanged, this, [this] { ListBox1Click(); });
    connect(listBox1_, &QListWidget::itemDoubleClicked, this, [this] { Button1Click(); });
    layout->addWidget(listBox1_, 1);

    auto* side = new QVBoxLayout;
    auto* anteprima = new QGroupBox(QStringLiteral("Anteprima"), this);
    anteprima->setObjectName(QStringLiteral("GroupBox1"));
    auto* previewRow = new QHBoxLayout(anteprima);
    sx_ = previewLabel("Sx", anteprima);
    dx_ = previewLabel("Dx", anteprima);
    auto* image = new QLabel(anteprima);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(palettePicture(QSize(72, 56)));
    previewRow->addWidget(sx_);
    previewRow->addWidget(image);
    previewRow->addWidget(dx_);
    side->addWidget(anteprima);

    const auto button = [this, side](const char* name, const QString& caption, void (TColoripre::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, handler);
        side->addWidget(b);
        return b;
    };
    button("Button1", QStringLiteral("Inserisci"), &TColoripre::Button1Click);
    button("Button3", QStringLiteral("Personalizzato"), &TColoripre::Button3Click);
    side->addStretch(1);
    button("Button2", QStringLiteral("Uscita"), &TColoripre::Button2Click)->setDefault(true);
    layout->addLayout(side);
}

void TColoripre::showColour(std::uint32_t colorref)
{
    const QColor colour = fromColorref(colorref);
    for (QLabel* label : {sx_, dx_}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, colour);
        label->setPalette(palette);
    }
}

void TColoripre::ListBox1Click()
{
    const QList<QListWidgetItem*> selected = listBox1_->selectedItems();
    if (selected.isEmpty())
        return;
    if (const std::optional<std::uint32_t> colour = colourOfRow(selected.front()->text()))
        showColour(*colour);
}

void TColoripre::insertCode(const QString& code)
{
    DocumentTable::Document* doc = documents_.current();
    if (!doc)
        return;
    replaceSelection(*static_cast<EditorControl*>(doc->editor), code);
    documents_.markModified();
}

void TColoripre::Button1Click()
{
    const QList<QListWidgetItem*> selected = listBox1_->selectedItems();
    if (!selected.isEmpty())
        insertCode(codeOfColourRow(selected.front()->text()));
}

void TColoripre::Button3Click()
{
    const std::optional<std::uint32_t> picked = prompts_.pickColor();
    if (!picked)
        return;  // cancelled: the selection stays as it was
    insertCode(u'#' + ColorToHtmlHex(*picked));
    showColour(*picked);
}

void TColoripre::Button2Click()
{
    bringToFront(parentWidget());
    QDialog::reject();
}

void TColoripre::reject()
{
    Button2Click();
}

}  // namespace calamo
