#pragma once
// The check list shown live: a Qt model that mirrors the engine's ListModel, and a delegate that
// draws an entry's text up to its TAB on the left and the rest (the result word) from a tab stop.
// The view learns of appended and changed entries and of the selection only when Flush() is called,
// so a run that adds thousands of links a second repaints the list only as often as the dialog asks.

#include <QAbstractListModel>
#include <QStyledItemDelegate>

class QListView;

namespace aracnide {

class ListModel;

class CheckListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Follows `list` through its change hook, which it takes over; `view` follows the selection.
    CheckListModel(ListModel& list, QListView* view);
    ~CheckListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Tells the view what changed since the last flush: new rows, changed rows, the selected row.
    void Flush();

private:
    ListModel& list_;
    QListView* view_;
    int rows_ = 0;                              // what the view knows: the list has already changed when its hook runs
    int changedFirst_ = -1, changedLast_ = -1;  // rows the view knows whose entries changed since
    bool selectionPending_ = false;
};

// The x of the text after the k-th TAB, for a tab stop every `tabStop` pixels: the first stop past
// the end of the text before it.
int NextTabStop(int textEnd, int tabStop);

// Where the result word (the text after the last TAB) starts in a row `rowWidth` wide: at its tab stop,
// or further left so that the whole word shows when the stop leaves too little room.
int ResultColumn(int tabX, int wordWidth, int rowWidth);

class TabDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TabDelegate(int tabStopPixels, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStopPixels) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int tabStop_;
};

}  // namespace aracnide
