#pragma once
// A list of INI lines ("name=value" or an entry without "=") with constant-time
// look-up by name and by whole line, both without regard to case.
//
// The name index is kept up to date on every append and on every in-place
// replacement that keeps a line's name (the way values are written one by one), so
// writing N keys costs O(N) rather than O(N^2). The whole-line index is built on the
// first look-up by line (section lists use it; key lists rarely do) and then kept up
// to date on appends the same way. Insertions in the middle and deletions shift
// positions: they mark the indexes stale and the next look-up rebuilds them once.
// Both indexes are flat open-addressing tables of (hash, position), 8 bytes a line,
// so look-ups stay fast when a section holds many thousands of keys.
// Not thread-safe; owned by one INI object.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TIniHashedStringList {
public:
    size_t Count() const { return FLines.size(); }
    const std::string& operator[](size_t index) const { return FLines[index]; }
    const std::vector<std::string>& Lines() const { return FLines; }

    // The text before the first "=", or "" for an entry without "=".
    static std::string_view NameOf(std::string_view line);
    // The text after the first "=", or "" for an entry without "=".
    static std::string_view ValueOf(std::string_view line);

    // Position of the first line equal to `line` / of the first line named `name`;
    // -1 when there is none.
    long IndexOf(std::string_view line) const;
    long IndexOfName(std::string_view name) const;

    void Add(std::string line);
    void Insert(size_t index, std::string line);
    // Replaces the line at `index` in place.
    void Set(size_t index, std::string line);
    void Delete(size_t index);
    void Clear();

    // Called after every change; the owner uses it to keep its caches valid.
    std::function<void()> OnChange;

private:
    // Positions of lines by the case-folded hash of a part of them: open addressing
    // with linear probing up to three quarters full, 4 bytes a slot (the hash's top 8 bits over position + 1,
    // 0 for an empty slot), so a section of 100,000 keys indexes in at most 512 KiB.
    class Index {
    public:
        // Lists longer than this are searched linearly (16,777,215 lines).
        static constexpr size_t kMaxPositions = (1u << 24) - 1;
        // Empties the table and sizes it for `count` entries.
        void Reset(size_t count);
        // Whether one more entry needs a larger table (then the owner re-hashes its
        // lines in order, which is cheaper than keeping full hashes in every slot).
        bool Full() const { return (FCount + 1) * 4 > FSlots.size() * 3; }
        size_t Count() const { return FCount; }
        void Add(std::uint32_t hash, size_t position);
        // The smallest position whose slot matches `hash` and for which `matches`
        // holds.
        template <class Match>
        long Find(std::uint32_t hash, Match matches) const;

    private:
        std::vector<std::uint32_t> FSlots;
        size_t FCount = 0;
    };

    void IndexName(size_t position) const;
    void IndexWholeLine(size_t position) const;
    void RebuildNames(size_t capacity) const;
    void RebuildLines(size_t capacity) const;
    bool Indexable() const { return FLines.size() <= Index::kMaxPositions; }
    void Changed() {
        if (OnChange) OnChange();
    }

    std::vector<std::string> FLines;
    // Mutable: rebuilt lazily by const look-ups.
    mutable Index FNameIndex;
    mutable Index FLineIndex;
    mutable bool FNamesStale = false;
    mutable bool FLinesBuilt = false;  // the whole-line index exists and is current
};
