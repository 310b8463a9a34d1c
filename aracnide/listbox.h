#pragma once
// The check list: entries with a text and 32-bit data, in the order they were added, with change
// notifications for a view and a case-insensitive prefix index so that a lookup costs O(log n).

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace aracnide {

namespace textword {

// Up to 8 bytes of a text as one word (n <= 8). Every byte of a shorter text is in it, at a place that
// depends only on n, so two texts of one length are equal exactly when their words are.
inline uint64_t Load(const char* p, size_t n)
{
    uint64_t w = 0;
    if (n == 8) {
        std::memcpy(&w, p, 8);
    } else if (n >= 4) {  // two overlapping halves
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + n - 4, 4);
        w = uint64_t{hi} << 32 | lo;
    } else if (n > 0) {
        w = uint64_t(uint8_t(p[0])) | uint64_t(uint8_t(p[n / 2])) << 8 | uint64_t(uint8_t(p[n - 1])) << 16;
    }
    return w;
}

// Each byte A-Z of the word turned into a-z; every other byte as it is (see AsciiLower).
constexpr uint64_t Fold(uint64_t w)
{
    constexpr uint64_t ones = 0x0101010101010101, high = ones * 0x80;
    const uint64_t low7 = w & ~high;  // no sum below carries into the next byte
    const uint64_t atLeastA = low7 + ones * (0x80 - 'A');
    const uint64_t pastZ = low7 + ones * (0x80 - 'Z' - 1);
    return w | ((atLeastA & ~pastZ & ~w & high) >> 2);
}

}  // namespace textword

// The two halves of a 128-bit product folded together: each input bit reaches most output bits.
inline uint64_t MulFold(uint64_t a, uint64_t b)
{
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return static_cast<uint64_t>(r) ^ static_cast<uint64_t>(r >> 64);
}

// A hash of a text read 16 bytes at a time, one multiplication each. With `foldCase`, texts that
// IEquals calls equal hash alike.
inline uint64_t HashText(std::string_view text, bool foldCase)
{
    const char* p = text.data();
    const size_t n = text.size();
    auto word = [p, foldCase](size_t at, size_t size) {
        const uint64_t w = textword::Load(p + at, size);
        return foldCase ? textword::Fold(w) : w;
    };
    constexpr uint64_t k0 = 0x9E3779B97F4A7C15u, k1 = 0xBF58476D1CE4E5B9u, k2 = 0x94D049BB133111EBu;
    uint64_t h = n * k0;
    size_t i = 0;
    for (; i + 16 < n; i += 16)
        h = MulFold(word(i, 8) ^ k1, word(i + 8, 8) ^ h);
    // The last 16 bytes may overlap the round before: the same text always hashes alike.
    const uint64_t a = n > 8 ? word(n >= 16 ? n - 16 : 0, 8) : word(0, n);
    const uint64_t b = n > 8 ? word(n - 8, 8) : 0;
    return MulFold(a ^ k1 ^ h, b ^ k2);
}

// Whether the texts are equal, a word at a time; with `foldCase`, as IEquals tells.
inline bool TextEqual(std::string_view a, std::string_view b, bool foldCase)
{
    const size_t n = a.size();
    if (n != b.size())
        return false;
    auto same = [foldCase](const char* pa, const char* pb, size_t size) {
        const uint64_t wa = textword::Load(pa, size), wb = textword::Load(pb, size);
        return wa == wb || (foldCase && textword::Fold(wa) == textword::Fold(wb));
    };
    if (n < 8)  // the word holds every byte of so short a text
        return same(a.data(), b.data(), n);
    for (size_t i = 0; i + 8 < n; i += 8)
        if (!same(a.data() + i, b.data() + i, 8))
            return false;
    return same(a.data() + n - 8, b.data() + n - 8, 8);
}

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
    // Counts the changes that can alter an answer of FindPrefix or HasPrefix other than false turning
    // true: anything but appending an entry or setting its data.
    uint64_t Changes() const { return changes_; }

    std::function<void(const ListChange&)> onChange;

private:
    // Orders entry positions by their texts ignoring ASCII case, then by position. A bare text sorts
    // before every entry with an equal text, so lower_bound finds the first of them.
    struct Less {
        using is_transparent = void;
        const std::vector<Entry>* entries;
        bool operator()(int a, int b) const;
        bool operator()(int a, std::string_view b) const;
        bool operator()(std::string_view a, int b) const;
    };
    // Entry positions in Less order, in sorted chunks of at most kMaxChunk: an insertion moves at most
    // one chunk's positions, a lookup searches contiguous memory, and no entry has a node of its own.
    class Index {
    public:
        struct Pos {
            size_t chunk = 0, at = 0;  // chunk == chunk count: the end
        };
        explicit Index(Less less) : less_(less) {}
        // The first position whose entry does not sort before `key` (a position or a bare text).
        template <class Key>
        Pos LowerBound(const Key& key) const;
        bool AtEnd(Pos p) const { return p.chunk >= chunks_.size(); }
        int At(Pos p) const { return chunks_[p.chunk][p.at]; }
        Pos Next(Pos p) const { return ++p.at < chunks_[p.chunk].size() ? p : Pos{p.chunk + 1, 0}; }
        // Adds entry `index`; `hint`, where it was last looked up, is used when it is its place.
        void Insert(int index, const Pos* hint);
        // Removes entry `index`, whose text is still in place; false when it is not in the index.
        bool Erase(int index);
        // Holds exactly the positions 0..count-1.
        void Assign(int count);
        void Clear();

    private:
        static constexpr size_t kMaxChunk = 256;
        bool Fits(int index, Pos p) const;  // whether `index` belongs right before p
        Less less_;
        std::vector<std::vector<int>> chunks_;  // none empty
        std::vector<int> lasts_;                // each chunk's last position, searched first
    };
    // Texts before their first tab (links without their result word), each with the number of entries
    // that have it: an exact repeat of a link, the common case while scanning, is found in one probe.
    // An open-addressing table whose slots name one of those entries for the text.
    class Heads {
    public:
        explicit Heads(const std::vector<Entry>& entries) : entries_(&entries) {}
        bool Contains(std::string_view head) const;
        void Add(int index);
        // Forgets entry `index`, whose text is still in place. True when other entries have its head
        // and the table named `index` for them: Rename must then name one of them.
        bool Drop(int index);
        void Rename(int from, int to);
        void Clear();

    private:
        struct Slot {
            uint64_t hash = 0;
            int entry = -1;  // -1: the slot is free
            int count = 0;
        };
        size_t Find(std::string_view head, uint64_t hash) const;  // the slot holding it or the free one
        const std::vector<Entry>* entries_;
        std::vector<Slot> slots_;  // a power of two in size, never more than half used
        size_t used_ = 0;
    };
    void Notify(ListChange::Kind kind, int index) const
    {
        if (onChange)
            onChange({kind, index});
    }
    void Add(int index);
    void Drop(int index);
    void Reindex();

    std::vector<Entry> entries_;
    Index index_{Less{&entries_}};  // positions ordered by folded text, then position
    // Where the last HasPrefix that found nothing ended in the index, and the list's size and changes
    // then: a scan appends the link it just looked up, whose place this is (a hint, never trusted).
    mutable Index::Pos missAt_;
    mutable int missCount_ = -1;
    mutable uint64_t missChanges_ = 0;
    Heads heads_{entries_};
    // Hashes and compares texts ignoring ASCII case, so that a lookup needs no folded copy.
    struct FoldedHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return HashText(text, true); }
    };
    struct FoldedEq {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return TextEqual(a, b, true); }
    };
    // FindPrefix answers by prefix, ignoring case. Entries added at the end cannot lower a found index,
    // so the answers stay true while a run appends entries and marks them checked; anything else that
    // could change them drops them.
    mutable std::unordered_map<std::string, int, FoldedHash, FoldedEq> firstWithPrefix_;
    uint64_t changes_ = 0;
    int selected_ = -1;
    int caret_ = -1;
    std::vector<int> tabStops_;
};

// The list operations the checker uses, named as the list control's requests.
class ListBox {
public:
    explicit ListBox(ListModel& model) : m_(&model) {}

    int AddString(std::string_view text) { return m_->Insert(-1, std::string(text)); }
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
