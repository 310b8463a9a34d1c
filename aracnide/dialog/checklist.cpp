#include "checklist.h"

#include "cp1252.h"
#include "listbox.h"

#include <QApplication>
#include <QListView>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace aracnide {

CheckListModel::CheckListModel(ListModel& list, QListView* view) : QAbstractListModel(view), list_(list), view_(view)
{
    rows_ = list_.Count();
    list_.onChange = [this](const ListChange& c) {
        switch (c.kind) {
        case ListChange::Inserted:
            if (c.index < rows_) {  // not an append: the rows the view knows have moved
                beginResetModel();
                rows_ = list_.Count();
                changedFirst_ = changedLast_ = -1;
                endResetModel();
            }
            break;
        case ListChange::Removed:
            if (c.index < rows_) {
                beginRemoveRows({}, c.index, c.index);
                --rows_;
                endRemoveRows();
            }
            changedFirst_ = changedLast_ = -1;
            break;
        case ListChange::Changed:
            if (c.index < rows_) {
                changedFirst_ = changedFirst_ < 0 ? c.index : std::min(changedFirst_, c.index);
                changedLast_ = std::max(changedLast_, c.index);
            }
            break;
        case ListChange::Cleared:
            beginResetModel();
            rows_ = list_.Count();
            changedFirst_ = changedLast_ = -1;
            endResetModel();
            break;
        case ListChange::Selected:
            selectionPending_ = true;
            break;
        }
    };
}

CheckListModel::~CheckListModel()
{
    list_.onChange = nullptr;
}

void CheckListModel::Flush()
{
    if (changedLast_ >= 0) {
        emit dataChanged(index(changedFirst_), index(std::min(changedLast_, rows_ - 1)));
        changedFirst_ = changedLast_ = -1;
    }
    if (rows_ < list_.Count()) {
        beginInsertRows({}, rows_, list_.Count() - 1);
        rows_ = list_.Count();
        endInsertRows();
    }
    if (selectionPending_) {
        selectionPending_ = false;
        if (list_.Selected() >= 0 && list_.Selected() < rows_) {
            const QModelIndex i = index(list_.Selected());
            view_->setCurrentIndex(i);
            view_->scrollTo(i);
        } else {
            view_->clearSelection();
        }
    }
}

int CheckListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= list_.Count())
        return {};
    return FromBytes(list_.At(index.row()).text);
}

int NextTabStop(int textEnd, int tabStop)
{
    if (tabStop <= 0)
        return textEnd;
    return (textEnd / tabStop + 1) * tabStop;
}

int ResultColumn(int tabX, int wordWidth, int rowWidth)
{
    return std::max(0, std::min(tabX, rowWidth - wordWidth));
}

void TabDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool selected = opt.state & QStyle::State_Selected;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect r = opt.rect.adjusted(2, 0, 0, 0);
    const QFontMetrics fm(opt.font);
    const QStringList parts = text.split(u'\t');
    auto draw = [&](int x, int right, const QString& part) {
        if (right >= x)
            painter->drawText(QRect(x, r.top(), right - x + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter, part);
    };
    // The parts before the last TAB follow the tab stops; the result word after it always shows whole,
    // and the text before it is clipped where the word begins.
    const qsizetype lead = parts.size() > 1 ? parts.size() - 1 : 1;
    int x = r.left();
    std::vector<int> starts;
    for (qsizetype k = 0; k < lead; ++k) {
        if (k > 0)
            x = r.left() + NextTabStop(x - r.left(), tabStop_);
        starts.push_back(x);
        x += fm.horizontalAdvance(parts[k]);
    }
    int clip = r.right();
    if (parts.size() > 1) {
        const int wordWidth = fm.horizontalAdvance(parts.back());
        const int resultX = r.left() + ResultColumn(NextTabStop(x - r.left(), tabStop_), wordWidth, r.width());
        draw(resultX, r.right(), parts.back());
        clip = resultX - 1;
    }
    for (qsizetype k = 0; k < lead; ++k)
        draw(starts[static_cast<size_t>(k)], clip, parts[k]);
    painter->restore();
}

}  // namespace aracnide
