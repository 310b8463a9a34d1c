#pragma once
// The check list shown live: a Qt model that mirrors the engine's ListModel, and a delegate that
// draws an entry's text up to its TAB on the left and the rest (the result word) from a tab stop.

#include <QAbstractListModel>
#include <QStyledItemDelegate>

class ListModel;
class QListView;

class CheckListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Follows `list` through its change hook, which it takes over; `view` follows the selection.
    CheckListModel(ListModel& list, QListView* view);
    ~CheckListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    ListModel& list_;
    QListView* view_;
    int rows_ = 0;  // what the view knows: the list has already changed when its hook runs
};

// The x of the text after the k-th TAB, for a tab stop every `tabStop` pixels: the first stop past
// the end of the text before it.
int NextTabStop(int textEnd, int tabStop);

class TabDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TabDelegate(int tabStopPixels, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStopPixels) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int tabStop_;
};
