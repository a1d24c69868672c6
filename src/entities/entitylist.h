// An entity list: live members in the order they were added, walked once per
// frame. A walk visits members appended during it, skips members removed before
// it reaches them, and keeps a removed entity valid until the walk is over.
// Entities are recycled through a free pool, so a steady game allocates nothing.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace vx {

template <class T>
class EntityList {
public:
    explicit EntityList(const char* name, size_t reserve = 256) : name_(name) {
        items_.reserve(reserve);
        pending_.reserve(reserve);
        free_.reserve(reserve);
        grow(reserve);
    }
    EntityList(const EntityList&) = delete;
    EntityList& operator=(const EntityList&) = delete;

    const char* name() const { return name_; }
    size_t size() const { return live_; }
    bool empty() const { return live_ == 0; }

    // A new member with every field zero, appended at the end.
    T& add() {
        if (free_.empty()) grow(free_.capacity() ? free_.capacity() : 64);
        T* e = free_.back();
        free_.pop_back();
        *e = T{};
        items_.push_back(e);
        ++live_;
        return *e;
    }

    // Removing an entity that is not in the list does nothing.
    void remove(T* e) {
        if (!e) return;
        if (cursor_ < items_.size() && items_[cursor_] == e) return drop(cursor_);
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i] == e) return drop(i);
    }

    // Removes every member in list order.
    void clear() {
        ++depth_;
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i]) drop(i);
        if (--depth_ == 0) compact();
    }

    // Calls f on every member from first to last, by the walk rules above.
    template <class F>
    void walk(F&& f) {
        size_t saved = cursor_;
        ++depth_;
        for (size_t i = 0; i < items_.size(); ++i) {
            if (!items_[i]) continue;
            cursor_ = i;
            f(*items_[i]);
        }
        cursor_ = saved;
        if (--depth_ == 0) compact();
    }

    // Read-only visit in list order (traces, tests); must not change the list.
    template <class F>
    void each(F&& f) const {
        for (const T* e : items_)
            if (e) f(*e);
    }

    // The first live member, or null.
    T* front() {
        for (T* e : items_)
            if (e) return e;
        return nullptr;
    }

private:
    void drop(size_t i) {
        T* e = items_[i];
        items_[i] = nullptr;
        --live_;
        pending_.push_back(e);
        if (depth_ == 0) compact();
    }
    void compact() {
        size_t out = 0;
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i]) items_[out++] = items_[i];
        items_.resize(out);
        for (T* e : pending_) free_.push_back(e);
        pending_.clear();
    }
    void grow(size_t n) {
        chunks_.push_back(std::make_unique<T[]>(n));
        T* base = chunks_.back().get();
        free_.reserve(free_.size() + n);
        for (size_t i = n; i-- > 0;) free_.push_back(base + i);
    }

    const char* name_;
    std::vector<T*> items_;    // in list order; null where a member was removed mid-walk
    std::vector<T*> pending_;  // removed, freed when no walk is running
    std::vector<T*> free_;
    std::vector<std::unique_ptr<T[]>> chunks_;
    size_t live_ = 0;
    size_t cursor_ = static_cast<size_t>(-1);
    int depth_ = 0;
};

}  // namespace vx
