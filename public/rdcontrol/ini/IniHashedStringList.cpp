#include "public/rdcontrol/ini/IniHashedStringList.h"

#include "public/rdcontrol/ini/IniText.h"

namespace {

// Spreads FNV-1a's weak low bits, which pick the slot.
std::uint32_t Mix(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    return h ^ (h >> 16);
}

// FNV-1a over the case-folded text; the ASCII path folds on the fly.
std::uint32_t NoCaseHash(std::string_view s) {
    std::uint32_t h = 2166136261u;
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            h = 2166136261u;
            for (char f : FoldCase(s)) h = (h ^ static_cast<unsigned char>(f)) * 16777619u;
            return Mix(h);
        }
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return Mix(h);
}

bool HasName(std::string_view line) { return line.find('=') != std::string_view::npos; }

}  // namespace

// ---- Index ----------------------------------------------------------------------

namespace {
constexpr std::uint32_t kPositionBits = 24;
constexpr std::uint32_t kPositionMask = (1u << kPositionBits) - 1;
std::uint32_t Tag(std::uint32_t hash) { return hash & ~kPositionMask; }
}  // namespace

void TIniHashedStringList::Index::Reset(size_t count) {
    size_t size = 16;
    while (size * 3 < (count + 1) * 4) size *= 2;
    FSlots.assign(size, 0);
    FCount = 0;
}

void TIniHashedStringList::Index::Add(std::uint32_t hash, size_t position) {
    const size_t mask = FSlots.size() - 1;
    size_t i = hash & mask;
    while (FSlots[i]) i = (i + 1) & mask;
    FSlots[i] = Tag(hash) | static_cast<std::uint32_t>(position + 1);
    ++FCount;
}

template <class Match>
long TIniHashedStringList::Index::Find(std::uint32_t hash, Match matches) const {
    if (FSlots.empty()) return -1;
    const size_t mask = FSlots.size() - 1;
    long best = -1;
    for (size_t i = hash & mask; FSlots[i]; i = (i + 1) & mask) {
        const std::uint32_t s = FSlots[i];
        const long position = static_cast<long>(s & kPositionMask) - 1;
        if (Tag(s) == Tag(hash) && (best < 0 || position < best) && matches(static_cast<size_t>(position)))
            best = position;
    }
    return best;
}

// ---- list -----------------------------------------------------------------------

std::string_view TIniHashedStringList::NameOf(std::string_view line) {
    const size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
}

std::string_view TIniHashedStringList::ValueOf(std::string_view line) {
    const size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

void TIniHashedStringList::IndexName(size_t position) const {
    const std::string& line = FLines[position];
    if (!HasName(line)) return;
    if (FNameIndex.Full()) return RebuildNames(FNameIndex.Count() + 1);
    FNameIndex.Add(NoCaseHash(NameOf(line)), position);
}

void TIniHashedStringList::IndexWholeLine(size_t position) const {
    if (FLineIndex.Full()) return RebuildLines(FLineIndex.Count() + 1);
    FLineIndex.Add(NoCaseHash(FLines[position]), position);
}

void TIniHashedStringList::RebuildNames(size_t capacity) const {
    FNameIndex.Reset(capacity);
    for (size_t i = 0; i < FLines.size(); ++i)
        if (HasName(FLines[i])) FNameIndex.Add(NoCaseHash(NameOf(FLines[i])), i);
    FNamesStale = false;
}

void TIniHashedStringList::RebuildLines(size_t capacity) const {
    FLineIndex.Reset(capacity);
    for (size_t i = 0; i < FLines.size(); ++i) FLineIndex.Add(NoCaseHash(FLines[i]), i);
    FLinesBuilt = true;
}

long TIniHashedStringList::IndexOf(std::string_view line) const {
    auto matches = [&](size_t p) { return SameTextNoCase(FLines[p], line); };
    if (!Indexable()) {
        for (size_t p = 0; p < FLines.size(); ++p)
            if (matches(p)) return static_cast<long>(p);
        return -1;
    }
    if (!FLinesBuilt) RebuildLines(FLines.size());
    return FLineIndex.Find(NoCaseHash(line), matches);
}

long TIniHashedStringList::IndexOfName(std::string_view name) const {
    auto matches = [&](size_t p) { return HasName(FLines[p]) && SameTextNoCase(NameOf(FLines[p]), name); };
    if (!Indexable()) {
        for (size_t p = 0; p < FLines.size(); ++p)
            if (matches(p)) return static_cast<long>(p);
        return -1;
    }
    if (FNamesStale) RebuildNames(FLines.size());
    return FNameIndex.Find(NoCaseHash(name), matches);
}

void TIniHashedStringList::Add(std::string line) {
    FLines.push_back(std::move(line));
    if (Indexable()) {
        if (!FNamesStale) IndexName(FLines.size() - 1);
        if (FLinesBuilt) IndexWholeLine(FLines.size() - 1);
    }
    Changed();
}

void TIniHashedStringList::Insert(size_t index, std::string line) {
    if (index >= FLines.size()) return Add(std::move(line));
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
    FNamesStale = true;
    FLinesBuilt = false;
    Changed();
}

void TIniHashedStringList::Set(size_t index, std::string line) {
    std::string& slot = FLines[index];
    const bool sameName = HasName(slot) == HasName(line) && SameTextNoCase(NameOf(slot), NameOf(line));
    slot = std::move(line);
    // Same name: the name index still holds. The old text may still be in the
    // whole-line index, which is rebuilt on its next use.
    if (!sameName) FNamesStale = true;
    FLinesBuilt = false;
    Changed();
}

void TIniHashedStringList::Delete(size_t index) {
    if (index >= FLines.size()) return;
    FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(index));
    FNamesStale = true;
    FLinesBuilt = false;
    Changed();
}

void TIniHashedStringList::Clear() {
    FLines.clear();
    FNameIndex.Reset(0);
    FLineIndex.Reset(0);
    FNamesStale = false;
    FLinesBuilt = false;
    Changed();
}
