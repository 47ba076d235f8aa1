#pragma once
// The fonts a measurer has created, by key, with their metrics. The most recently used entry is
// last; when the cache holds more than its capacity (FontCacheSize, 2..32), entries nobody holds
// are deleted from the front. Font is whatever the surface needs (a QFont with its metrics, ...).
#include "reader/text_measurer.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace lbv {

template<class Font> class FontCache {
public:
    struct Entry {
        FontKey key;
        Font font;
        FontMetrics metrics;
        int references = 0; // holders that still draw with the font
    };

    explicit FontCache(int capacity)
        : capacity_(capacity)
    {
    }

    void SetCapacity(int capacity)
    {
        capacity_ = capacity;
        Trim();
    }
    int Capacity() const { return capacity_; }
    int Size() const { return int(entries_.size()); }

    // The entry for key, created by make(key) (returning the font and its metrics) when absent;
    // either way it becomes the most recently used. The reference stays valid until an entry is
    // next requested.
    template<class Make> Entry& Get(const FontKey& key, Make make)
    {
        auto it = std::find_if(entries_.begin(), entries_.end(),
            [&](const std::unique_ptr<Entry>& e) { return e->key == key; });
        std::unique_ptr<Entry> entry;
        if (it != entries_.end()) {
            entry = std::move(*it);
            entries_.erase(it);
        } else {
            entry = std::make_unique<Entry>();
            entry->key = key;
            auto [font, metrics] = make(key);
            entry->font = std::move(font);
            entry->metrics = metrics;
        }
        entries_.push_back(std::move(entry));
        Trim();
        return *entries_.back();
    }

    // A holder keeps an entry alive across later requests until it lets go.
    void Hold(Entry& entry) { ++entry.references; }
    void Release(Entry& entry)
    {
        if (entry.references > 0)
            --entry.references;
        Trim();
    }

    // Keys from least to most recently used.
    std::vector<FontKey> Keys() const
    {
        std::vector<FontKey> keys;
        for (const auto& entry : entries_)
            keys.push_back(entry->key);
        return keys;
    }

private:
    // The most recently used entry is never the one dropped: it was just asked for.
    void Trim()
    {
        for (std::size_t i = 0; i + 1 < entries_.size() && int(entries_.size()) > capacity_;) {
            if (entries_[i]->references == 0)
                entries_.erase(entries_.begin() + std::ptrdiff_t(i));
            else
                ++i;
        }
    }

    int capacity_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

} // namespace lbv
