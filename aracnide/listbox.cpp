#include "listbox.h"

#include "text.h"

#include <algorithm>
#include <cstddef>

namespace aracnide {

namespace {

// The order of the texts with ASCII letters in lower case (bytes compared unsigned), a word at a time.
int FoldedCompare(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t wa = textword::Load(a.data() + i, 8), wb = textword::Load(b.data() + i, 8);
        if (wa == wb)  // texts of one case share long beginnings: no folding needed there
            continue;
        wa = textword::Fold(wa);
        wb = textword::Fold(wb);
        if (wa != wb) {
            // The first byte is the lowest: swapped, the words compare as the texts do.
            return __builtin_bswap64(wa) < __builtin_bswap64(wb) ? -1 : 1;
        }
    }
    for (; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool FoldedStartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && TextEqual(text.substr(0, prefix.size()), prefix, true);
}

std::string_view Head(std::string_view text)
{
    return text.substr(0, text.find('\t'));
}

}  // namespace

bool ListModel::Less::operator()(int a, int b) const
{
    const int c = FoldedCompare((*entries)[a].text, (*entries)[b].text);
    return c != 0 ? c < 0 : a < b;
}

bool ListModel::Less::operator()(int a, std::string_view b) const
{
    return FoldedCompare((*entries)[a].text, b) < 0;
}

bool ListModel::Less::operator()(std::string_view a, int b) const
{
    return FoldedCompare(a, (*entries)[b].text) <= 0;
}

template <class Key>
ListModel::Index::Pos ListModel::Index::LowerBound(const Key& key) const
{
    // The first chunk whose last entry does not sort before the key holds the bound.
    auto before = [this, &key](int e) { return less_(e, key); };
    const size_t c = static_cast<size_t>(std::partition_point(lasts_.begin(), lasts_.end(), before) - lasts_.begin());
    if (c == chunks_.size())
        return {c, 0};
    const std::vector<int>& v = chunks_[c];
    return {c, static_cast<size_t>(std::partition_point(v.begin(), v.end(), before) - v.begin())};
}

bool ListModel::Index::Fits(int index, Pos p) const
{
    if (p.chunk > chunks_.size() || (p.chunk < chunks_.size() ? p.at >= chunks_[p.chunk].size() : p.at != 0))
        return false;
    if (p.at > 0 ? !less_(chunks_[p.chunk][p.at - 1], index) : p.chunk > 0 && !less_(lasts_[p.chunk - 1], index))
        return false;
    return AtEnd(p) || less_(index, At(p));
}

void ListModel::Index::Insert(int index, const Pos* hint)
{
    Pos p = hint && Fits(index, *hint) ? *hint : LowerBound(index);
    if (chunks_.empty()) {
        chunks_.push_back({index});
        lasts_.push_back(index);
        return;
    }
    if (AtEnd(p))
        p = {chunks_.size() - 1, chunks_.back().size()};
    std::vector<int>& v = chunks_[p.chunk];
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(p.at), index);
    lasts_[p.chunk] = v.back();
    if (v.size() > kMaxChunk) {
        const auto half = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
        std::vector<int> upper(half, v.end());
        v.erase(half, v.end());
        lasts_[p.chunk] = v.back();
        lasts_.insert(lasts_.begin() + static_cast<std::ptrdiff_t>(p.chunk + 1), upper.back());
        chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(p.chunk + 1), std::move(upper));
    }
}

bool ListModel::Index::Erase(int index)
{
    const Pos p = LowerBound(index);
    if (AtEnd(p) || At(p) != index)
        return false;
    std::vector<int>& v = chunks_[p.chunk];
    v.erase(v.begin() + static_cast<std::ptrdiff_t>(p.at));
    if (v.empty()) {
        chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(p.chunk));
        lasts_.erase(lasts_.begin() + static_cast<std::ptrdiff_t>(p.chunk));
    } else {
        lasts_[p.chunk] = v.back();
    }
    return true;
}

void ListModel::Index::Assign(int count)
{
    Clear();
    std::vector<int> all(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        all[static_cast<size_t>(i)] = i;
    std::sort(all.begin(), all.end(), less_);
    // Half-full chunks leave room for the insertions that follow.
    for (size_t from = 0; from < all.size(); from += kMaxChunk / 2) {
        chunks_.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(from),
                             all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), from + kMaxChunk / 2)));
        lasts_.push_back(chunks_.back().back());
    }
}

void ListModel::Index::Clear()
{
    chunks_.clear();
    lasts_.clear();
}

size_t ListModel::Heads::Find(std::string_view head, uint64_t hash) const
{
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.entry < 0 || (s.hash == hash && TextEqual(Head((*entries_)[s.entry].text), head, true)))
            return i;
    }
}

bool ListModel::Heads::Contains(std::string_view head) const
{
    return !slots_.empty() && slots_[Find(head, HashText(head, true))].entry >= 0;
}

void ListModel::Heads::Add(int index)
{
    if (2 * (used_ + 1) > slots_.size()) {
        std::vector<Slot> old(std::max<size_t>(64, 2 * slots_.size()));
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.entry < 0)
                continue;
            size_t i = s.hash & mask;
            while (slots_[i].entry >= 0)
                i = (i + 1) & mask;
            slots_[i] = s;
        }
    }
    const std::string_view head = Head((*entries_)[index].text);
    const uint64_t hash = HashText(head, true);
    Slot& s = slots_[Find(head, hash)];
    if (s.entry < 0) {
        s = {hash, index, 0};
        ++used_;
    }
    ++s.count;
}

bool ListModel::Heads::Drop(int index)
{
    if (slots_.empty())
        return false;
    const std::string_view head = Head((*entries_)[index].text);
    size_t i = Find(head, HashText(head, true));
    Slot& s = slots_[i];
    if (s.entry < 0)
        return false;
    if (--s.count > 0)
        return s.entry == index;
    // Frees the slot and moves back the slots after it that could not take their own place, so that
    // every lookup still meets its slot before a free one.
    const size_t mask = slots_.size() - 1;
    for (size_t j = (i + 1) & mask; slots_[j].entry >= 0; j = (j + 1) & mask) {
        const size_t home = slots_[j].hash & mask;
        if (((j - home) & mask) >= ((j - i) & mask)) {
            slots_[i] = slots_[j];
            i = j;
        }
    }
    slots_[i] = Slot{};
    --used_;
    return false;
}

void ListModel::Heads::Rename(int from, int to)
{
    const std::string_view head = Head((*entries_)[from].text);
    slots_[Find(head, HashText(head, true))].entry = to;
}

void ListModel::Heads::Clear()
{
    std::fill(slots_.begin(), slots_.end(), Slot{});  // the table keeps its size for the next entries
    used_ = 0;
}

void ListModel::Add(int index)
{
    // The hint is checked before it is used: a wrong one costs two comparisons, not the order.
    index_.Insert(index, missCount_ == index && missChanges_ == changes_ ? &missAt_ : nullptr);
    missCount_ = -1;
    heads_.Add(index);
}

void ListModel::Drop(int index)
{
    missCount_ = -1;  // the hint may be the entry that goes
    if (!index_.Erase(index))
        return;
    if (heads_.Drop(index)) {
        // Another entry with the same head: the nearest in the index has it.
        const std::string_view head = Head(entries_[index].text);
        for (auto p = index_.LowerBound(head); !index_.AtEnd(p); p = index_.Next(p)) {
            const std::string_view text = entries_[index_.At(p)].text;
            if (!FoldedStartsWith(text, head))
                break;
            if (Head(text).size() == head.size()) {
                heads_.Rename(index, index_.At(p));
                break;
            }
        }
    }
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
        ++changes_;
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
    ++changes_;
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
        for (size_t n = old.size() + 1; n <= text.size() && !firstWithPrefix_.empty(); ++n)
            if (auto known = firstWithPrefix_.find(std::string_view(text).substr(0, n));
                known != firstWithPrefix_.end())
                firstWithPrefix_.erase(known);
    } else {
        firstWithPrefix_.clear();
    }
    ++changes_;
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
    index_.Clear();
    missCount_ = -1;
    heads_.Clear();
    firstWithPrefix_.clear();
    entries_.clear();
    ++changes_;
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
    index_.Assign(Count());
    missCount_ = -1;
    heads_.Clear();
    for (int i = 0; i < Count(); ++i)
        heads_.Add(i);
}

int ListModel::FindPrefix(std::string_view prefix) const
{
    // Entries beginning with the prefix are contiguous in the index, starting at its lower bound.
    if (const auto known = firstWithPrefix_.find(prefix); known != firstWithPrefix_.end())
        return known->second;
    int best = -1;
    for (auto p = index_.LowerBound(prefix); !index_.AtEnd(p); p = index_.Next(p)) {
        if (!FoldedStartsWith(entries_[index_.At(p)].text, prefix))
            break;
        if (best < 0 || index_.At(p) < best)
            best = index_.At(p);
    }
    if (best >= 0)
        firstWithPrefix_.emplace(prefix, best);
    return best;
}

bool ListModel::HasPrefix(std::string_view prefix) const
{
    if (heads_.Contains(prefix))
        return true;
    const auto p = index_.LowerBound(prefix);
    if (!index_.AtEnd(p) && FoldedStartsWith(entries_[index_.At(p)].text, prefix))
        return true;
    missAt_ = p;
    missCount_ = Count();
    missChanges_ = changes_;
    return false;
}

std::string ListBox::GetString(int index) const
{
    return (index >= 0 && index < m_->Count()) ? m_->At(index).text : std::string();
}

}  // namespace aracnide
