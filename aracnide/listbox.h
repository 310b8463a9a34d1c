#pragma once
// The check list: entries with a text and 32-bit data, in the order they were added, with change
// notifications for a view and a case-insensitive prefix index so that a lookup costs O(log n).

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace aracnide {

// What changed in the list, for a view that mirrors it.
struct ListChange {
    enum Kind { Inserted, Removed, Changed, Cleared, Selected } kind;
    int index;
};

// The entries and their index. A view observes it through `onChange`.
class ListModel {
public:
    struct Entry {
        std::string text;
        uint32_t data = 0;
        int referrer = -1;  // full index of the entry whose page holds the link; -1 for none
    };

    ListModel() = default;
    ListModel(const ListModel&) = delete;  // views refer to the one list by its address
    ListModel& operator=(const ListModel&) = delete;

    int Count() const { return static_cast<int>(entries_.size()); }
    const Entry& At(int index) const { return entries_[index]; }
    int Selected() const { return selected_; }
    int Caret() const { return caret_; }
    const std::vector<int>& TabStops() const { return tabStops_; }

    int Insert(int index, std::string text);  // index -1 appends; returns the new index
    bool Remove(int index);
    bool SetText(int index, std::string text);
    bool SetData(int index, uint32_t data);
    bool SetReferrer(int index, int referrer);
    void Clear();
    void SetSelected(int index);
    void SetCaret(int index) { caret_ = index; }
    void SetTabStops(std::vector<int> stops) { tabStops_ = std::move(stops); }

    // The first entry whose text begins with `prefix`, ignoring ASCII case; -1 when none.
    int FindPrefix(std::string_view prefix) const;
    // Whether any entry begins with `prefix` (FindPrefix >= 0), answered without finding the first.
    bool HasPrefix(std::string_view prefix) const;

    std::function<void(const ListChange&)> onChange;

private:
    // An entry in the index: its text with ASCII letters in lower case, and its position.
    struct Key {
        std::string folded;
        int index;
    };
    struct Less {
        using is_transparent = void;
        bool operator()(const Key& a, const Key& b) const
        {
            const int c = a.folded.compare(b.folded);
            return c != 0 ? c < 0 : a.index < b.index;
        }
        // A bare text sorts before every key with an equal text, so lower_bound finds the first of them.
        bool operator()(const Key& a, std::string_view b) const { return std::string_view(a.folded) < b; }
        bool operator()(std::string_view a, const Key& b) const { return a <= std::string_view(b.folded); }
    };
    void Notify(ListChange::Kind kind, int index) const
    {
        if (onChange)
            onChange({kind, index});
    }
    static Key MakeKey(std::string_view text, int index);
    void Add(int index);
    void Drop(int index);
    void Reindex();

    std::vector<Entry> entries_;
    std::set<Key, Less> index_;  // ordered by folded text, then position
    // Folded text before the first tab (the link without its result word) -> number of entries:
    // an exact repeat of a link, the common case while scanning, is found without walking the tree.
    std::unordered_map<std::string, int> heads_;
    // FindPrefix answers by folded prefix. Entries added at the end cannot lower a found index, so
    // the answers stay true while a run appends entries and marks them checked; anything else that
    // could change them drops them.
    mutable std::unordered_map<std::string, int> firstWithPrefix_;
    mutable std::string probe_;  // folded lookup text, kept to reuse its storage
    int selected_ = -1;
    int caret_ = -1;
    std::vector<int> tabStops_;
};

// The list operations the checker uses, named as the list control's requests.
class ListBox {
public:
    explicit ListBox(ListModel& model) : m_(&model) {}

    int AddString(std::string_view text) { return m_->Insert(-1, std::string(text)); }
    int DeleteString(int index) { return m_->Remove(index) ? m_->Count() : -1; }
    // The entry's text, empty for an index outside the list.
    std::string GetString(int index) const;
    // Replaces an entry's text in place (what Delete then Insert at the same index does, in O(log n)).
    bool SetString(int index, std::string_view text) { return m_->SetText(index, std::string(text)); }
    int FindString(std::string_view text) const { return m_->FindPrefix(text); }
    int GetCount() const { return m_->Count(); }
    bool SetItemData(int index, uint32_t data) { return m_->SetData(index, data); }
    // The referring entry's index in full (the item data keeps only its low 16 bits).
    int GetReferrer(int index) const { return index >= 0 && index < m_->Count() ? m_->At(index).referrer : -1; }
    bool SetReferrer(int index, int referrer) { return m_->SetReferrer(index, referrer); }
    // Whether FindString(text) would find an entry.
    bool Contains(std::string_view text) const { return m_->HasPrefix(text); }
    void SetCaretIndex(int index) { m_->SetCaret(index); }
    void SetSelIndex(int index) { m_->SetSelected(index); }
    void ClearList() { m_->Clear(); }
    void SetTabStops(std::vector<int> stops) { m_->SetTabStops(std::move(stops)); }

    ListModel& Model() { return *m_; }

private:
    ListModel* m_;
};

}  // namespace aracnide
