#include "listbox.h"

#include <algorithm>

namespace {

inline unsigned char Fold(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? u + 32 : u;
}

int CompareFolded(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Fold(a[i]), y = Fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool StartsWithFolded(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && CompareFolded(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

bool ListModel::Less::operator()(int a, int b) const
{
    int c = CompareFolded((*entries)[a].text, (*entries)[b].text);
    return c != 0 ? c < 0 : a < b;
}

// A bare text sorts before every entry with an equal text, so lower_bound finds the first of them.
bool ListModel::Less::operator()(int a, std::string_view b) const
{
    return CompareFolded((*entries)[a].text, b) < 0;
}

bool ListModel::Less::operator()(std::string_view a, int b) const
{
    return CompareFolded(a, (*entries)[b].text) <= 0;
}

int ListModel::Insert(int index, std::string text)
{
    if (index < 0 || index >= Count()) {
        entries_.push_back({std::move(text), 0});
        index = Count() - 1;
        index_.insert(index);
    } else {
        entries_.insert(entries_.begin() + index, Entry{std::move(text), 0});
        Reindex();
    }
    Notify(ListChange::Inserted, index);
    return index;
}

bool ListModel::Remove(int index)
{
    if (index < 0 || index >= Count())
        return false;
    entries_.erase(entries_.begin() + index);
    Reindex();
    if (selected_ >= Count())
        selected_ = -1;
    Notify(ListChange::Removed, index);
    return true;
}

bool ListModel::SetText(int index, std::string text)
{
    if (index < 0 || index >= Count())
        return false;
    index_.erase(index);
    entries_[index].text = std::move(text);
    index_.insert(index);
    Notify(ListChange::Changed, index);
    return true;
}

bool ListModel::SetData(int index, uint32_t data)
{
    if (index < 0 || index >= Count())
        return false;
    entries_[index].data = data;
    Notify(ListChange::Changed, index);
    return true;
}

void ListModel::Clear()
{
    index_.clear();
    entries_.clear();
    selected_ = caret_ = -1;
    Notify(ListChange::Cleared, -1);
}

void ListModel::SetSelected(int index)
{
    selected_ = (index >= 0 && index < Count()) ? index : -1;
    Notify(ListChange::Selected, selected_);
}

void ListModel::Reindex()
{
    index_.clear();
    for (int i = 0; i < Count(); ++i)
        index_.insert(index_.end(), i);
}

int ListModel::FindPrefix(std::string_view prefix) const
{
    // Entries beginning with the prefix are contiguous in the index, starting at its lower bound.
    int best = -1;
    for (auto it = index_.lower_bound(prefix); it != index_.end(); ++it) {
        if (!StartsWithFolded(entries_[*it].text, prefix))
            break;
        if (best < 0 || *it < best)
            best = *it;
    }
    return best;
}

std::string ListBox::GetString(int index) const
{
    return (index >= 0 && index < m_->Count()) ? m_->At(index).text : std::string();
}

uint32_t ListBox::GetItemData(int index) const
{
    return (index >= 0 && index < m_->Count()) ? m_->At(index).data : 0;
}
