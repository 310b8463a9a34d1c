#include "listbox.h"

#include "text.h"

#include <algorithm>

namespace aracnide {

namespace {

void FoldInto(std::string& out, std::string_view text)
{
    out.resize(text.size());
    std::transform(text.begin(), text.end(), out.begin(), AsciiLower);
}

}  // namespace

ListModel::Key ListModel::MakeKey(std::string_view text, int index)
{
    Key k{{}, index};
    FoldInto(k.folded, text);
    return k;
}

void ListModel::Add(int index)
{
    auto key = index_.insert(MakeKey(entries_[index].text, index)).first;
    const std::string_view folded = key->folded;
    ++heads_[std::string(folded.substr(0, folded.find('\t')))];
}

void ListModel::Drop(int index)
{
    auto key = index_.find(MakeKey(entries_[index].text, index));
    if (key == index_.end())
        return;
    const std::string_view folded = key->folded;
    auto head = heads_.find(std::string(folded.substr(0, folded.find('\t'))));
    if (head != heads_.end() && --head->second == 0)
        heads_.erase(head);
    index_.erase(key);
}

int ListModel::Insert(int index, std::string text)
{
    if (index < 0 || index >= Count()) {
        entries_.push_back({std::move(text), 0});
        index = Count() - 1;
        Add(index);
    } else {
        entries_.insert(entries_.begin() + index, Entry{std::move(text), 0});
        firstWithPrefix_.clear();
        Reindex();
    }
    Notify(ListChange::Inserted, index);
    return index;
}

bool ListModel::Remove(int index)
{
    if (index < 0 || index >= Count())
        return false;
    if (index == Count() - 1) {
        Drop(index);
        entries_.pop_back();
    } else {
        entries_.erase(entries_.begin() + index);
        Reindex();  // every later entry moved down by one
    }
    firstWithPrefix_.clear();
    if (selected_ >= Count())
        selected_ = -1;
    Notify(ListChange::Removed, index);
    return true;
}

bool ListModel::SetText(int index, std::string text)
{
    if (index < 0 || index >= Count())
        return false;
    // A text that only grows (a result word appended) can newly match only the prefixes longer than the
    // old text; any other change may move any answer.
    const std::string& old = entries_[index].text;
    if (text.size() >= old.size() && std::equal(old.begin(), old.end(), text.begin())) {
        std::string folded;
        FoldInto(folded, text);
        for (size_t n = old.size() + 1; n <= folded.size() && !firstWithPrefix_.empty(); ++n)
            firstWithPrefix_.erase(folded.substr(0, n));
    } else {
        firstWithPrefix_.clear();
    }
    Drop(index);
    entries_[index].text = std::move(text);
    Add(index);
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

bool ListModel::SetReferrer(int index, int referrer)
{
    if (index < 0 || index >= Count())
        return false;
    entries_[index].referrer = referrer;
    return true;
}

void ListModel::Clear()
{
    index_.clear();
    heads_.clear();
    firstWithPrefix_.clear();
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
    heads_.clear();
    for (int i = 0; i < Count(); ++i)
        Add(i);
}

int ListModel::FindPrefix(std::string_view prefix) const
{
    // Entries beginning with the prefix are contiguous in the index, starting at its lower bound.
    FoldInto(probe_, prefix);
    if (const auto known = firstWithPrefix_.find(probe_); known != firstWithPrefix_.end())
        return known->second;
    int best = -1;
    for (auto it = index_.lower_bound(std::string_view(probe_)); it != index_.end(); ++it) {
        if (!std::string_view(it->folded).starts_with(probe_))
            break;
        if (best < 0 || it->index < best)
            best = it->index;
    }
    if (best >= 0)
        firstWithPrefix_.emplace(probe_, best);
    return best;
}

bool ListModel::HasPrefix(std::string_view prefix) const
{
    FoldInto(probe_, prefix);
    if (heads_.count(probe_))
        return true;
    auto it = index_.lower_bound(std::string_view(probe_));
    return it != index_.end() && std::string_view(it->folded).starts_with(probe_);
}

std::string ListBox::GetString(int index) const
{
    return (index >= 0 && index < m_->Count()) ? m_->At(index).text : std::string();
}

}  // namespace aracnide
