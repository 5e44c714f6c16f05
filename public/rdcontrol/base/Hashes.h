#pragma once
// TPointerHash and TStringHash: hash maps with a bucket count fixed at creation (the
// image cache uses 512). Separate chaining: a bucket holds its entries in the order
// they were added, so a map never rehashes and a pointer to a value stays valid
// until that entry is removed or the map cleared.
//
// TStringHash matches keys exactly (case counts). Not thread-safe.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

template <typename TKey, typename TValue, typename THash>
class TFixedHash {
public:
    // bucketCount below 1 counts as 1.
    explicit TFixedHash(std::size_t bucketCount) : FBuckets(bucketCount ? bucketCount : 1) {}

    std::size_t BucketCount() const { return FBuckets.size(); }
    std::size_t Count() const { return FCount; }

    // The value stored for key, or nullptr.
    template <typename K>
    TValue* Find(const K& key) {
        for (auto& entry : Bucket(key))
            if (entry.first == key) return &entry.second;
        return nullptr;
    }
    template <typename K>
    const TValue* Find(const K& key) const {
        return const_cast<TFixedHash*>(this)->Find(key);
    }

    // Sets key's value, adding the entry when it is new.
    TValue& Set(const TKey& key, TValue value) {
        if (TValue* found = Find(key)) return *found = std::move(value);
        ++FCount;
        return Bucket(key).emplace_back(key, std::move(value)).second;
    }

    // Whether there was an entry to remove.
    template <typename K>
    bool Remove(const K& key) {
        auto& bucket = Bucket(key);
        for (auto it = bucket.begin(); it != bucket.end(); ++it)
            if (it->first == key) {
                bucket.erase(it);
                --FCount;
                return true;
            }
        return false;
    }

    void Clear() {
        for (auto& bucket : FBuckets) bucket.clear();
        FCount = 0;
    }

    // Calls f(key, value) for every entry, bucket by bucket.
    template <typename F>
    void ForEach(F&& f) const {
        for (const auto& bucket : FBuckets)
            for (const auto& entry : bucket) f(entry.first, entry.second);
    }

private:
    template <typename K>
    std::vector<std::pair<TKey, TValue>>& Bucket(const K& key) {
        return FBuckets[THash{}(key) % FBuckets.size()];
    }

    std::vector<std::vector<std::pair<TKey, TValue>>> FBuckets;
    std::size_t FCount = 0;
};

// FNV-1a over the bytes of a UTF-8 key.
struct TStringKeyHash {
    std::size_t operator()(std::string_view s) const {
        std::uint32_t h = 2166136261u;
        for (unsigned char c : s) h = (h ^ c) * 16777619u;
        return h;
    }
};

// Addresses are aligned: the low bits carry nothing, so they are folded in from above.
struct TPointerKeyHash {
    std::size_t operator()(const void* p) const {
        const auto v = reinterpret_cast<std::uintptr_t>(p);
        return static_cast<std::size_t>(v ^ (v >> 4) ^ (v >> 12));
    }
};

template <typename TValue>
using TStringHash = TFixedHash<std::string, TValue, TStringKeyHash>;

template <typename TValue>
using TPointerHash = TFixedHash<const void*, TValue, TPointerKeyHash>;
