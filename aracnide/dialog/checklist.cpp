#include "checklist.h"

#include "cp1252.h"
#include "listbox.h"

#include <QApplication>
#include <QListView>
#include <QPainter>

CheckListModel::CheckListModel(ListModel& list, QListView* view) : QAbstractListModel(view), list_(list), view_(view)
{
    rows_ = list_.Count();
    list_.onChange = [this](const ListChange& c) {
        switch (c.kind) {
        case ListChange::Inserted:
            beginInsertRows({}, c.index, c.index);
            ++rows_;
            endInsertRows();
            break;
        case ListChange::Removed:
            beginRemoveRows({}, c.index, c.index);
            --rows_;
            endRemoveRows();
            break;
        case ListChange::Changed:
            emit dataChanged(index(c.index), index(c.index));
            break;
        case ListChange::Cleared:
            beginResetModel();
            rows_ = list_.Count();
            endResetModel();
            break;
        case ListChange::Selected:
            if (list_.Selected() >= 0 && list_.Selected() < rows_) {
                const QModelIndex i = index(list_.Selected());
                view_->setCurrentIndex(i);
                view_->scrollTo(i);
            } else {
                view_->clearSelection();
            }
            break;
        }
    };
}

CheckListModel::~CheckListModel() { list_.onChange = nullptr; }

int CheckListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant CheckListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= list_.Count())
        return {};
    return FromCp1252(list_.At(index.row()).text);
}

int NextTabStop(int textEnd, int tabStop)
{
    if (tabStop <= 0)
        return textEnd;
    return (textEnd / tabStop + 1) * tabStop;
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
    int x = r.left();
    const QStringList parts = text.split(u'\t');
    for (qsizetype k = 0; k < parts.size(); ++k) {
        if (k > 0)
            x = r.left() + NextTabStop(x - r.left(), tabStop_);
        painter->drawText(QRect(x, r.top(), r.right() - x + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                          parts[k]);
        x += fm.horizontalAdvance(parts[k]);
    }
    painter->restore();
}
