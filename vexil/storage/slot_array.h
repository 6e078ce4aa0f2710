// SlotArray: the growable list of item pointers behind every list of a
// storage. Items keep their slots; a removal leaves a hole that the next Add
// fills first, which is what decides the order of the panel's items.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vexil {

// Equality used by RemoveAt is the free function SameItem(const T&, const T&),
// found by argument-dependent lookup; lists never removed from need none.
template <class T>
class SlotArray {
public:
    static constexpr int32_t kInitialCapacity = 10;
    static constexpr int32_t kStep = 10;

    SlotArray() : slots_(new T*[kInitialCapacity]()), allocated_(kInitialCapacity) {}
    ~SlotArray() { delete[] slots_; }
    SlotArray(const SlotArray&) = delete;
    SlotArray& operator=(const SlotArray&) = delete;

    // Stores the item in the lowest empty slot (growing by kStep when none is
    // empty) and returns that slot's index, which is also its logical index.
    int32_t Add(T* item) {
        int32_t slot = end_;
        if (count_ != end_) {
            // No slot below freeFrom_ is empty, so the search starts there.
            slot = freeFrom_;
            while (slots_[slot] != nullptr) ++slot;
        } else if (end_ == capacity_) {
            Grow();
        }
        slots_[slot] = item;
        ++count_;
        if (slot >= end_) end_ = slot + 1;
        freeFrom_ = slot + 1;
        return slot;
    }

    int32_t Count() const { return count_; }
    int32_t Capacity() const { return capacity_; }
    int32_t Step() const { return step_; }

    // The item at logical index n (0 <= n < Count()).
    T* At(int32_t n) const {
        if (count_ == end_) return slots_[n];  // no holes
        for (int32_t s = 0; s < end_; ++s) {
            if (slots_[s] != nullptr && n-- == 0) return slots_[s];
        }
        return nullptr;
    }

    // Takes the item at logical index n and empties the first occupied slot
    // whose item equals it. The item is not deleted; `removed` receives the
    // item whose slot was emptied. Returns the new count.
    int32_t RemoveAt(int32_t n, T** removed = nullptr) {
        T* item = At(n);
        for (int32_t s = 0; s < end_; ++s) {
            if (slots_[s] != nullptr && SameItem(*slots_[s], *item)) {
                if (removed != nullptr) *removed = slots_[s];
                Empty(s);
                break;
            }
        }
        return count_;
    }

    // Empties, in one pass, every occupied slot whose item satisfies `pred`,
    // handing each such item to `removed`. Where items are unique by the
    // element type's equality this is RemoveAt of each of them, without
    // a search from the first slot for every one.
    template <class Pred, class Removed>
    void RemoveWhere(Pred&& pred, Removed&& removed) {
        for (int32_t s = end_ - 1; s >= 0; --s) {
            if (slots_[s] != nullptr && pred(*slots_[s])) {
                T* item = slots_[s];
                Empty(s);
                removed(item);
            }
        }
    }

    // Calls f(item) for every item in logical order.
    template <class F>
    void ForEach(F&& f) const {
        for (int32_t s = 0; s < end_; ++s) {
            if (slots_[s] != nullptr) f(slots_[s]);
        }
    }

private:
    // The capacity the list reports steps by 10 as items come; the slots
    // behind it are allocated in doubling sizes, so that filling a list of
    // n items copies O(n) pointers rather than O(n * n / 10).
    void Grow() {
        if (capacity_ + step_ > allocated_) {
            const int32_t size = std::max(capacity_ + step_, allocated_ * 2);
            T** grown = new T*[static_cast<size_t>(size)]();
            std::memcpy(grown, slots_, sizeof(T*) * static_cast<size_t>(capacity_));
            delete[] slots_;
            slots_ = grown;
            allocated_ = size;
        }
        capacity_ += step_;
    }

    void Empty(int32_t s) {
        slots_[s] = nullptr;
        --count_;
        if (s < freeFrom_) freeFrom_ = s;
        while (end_ > 0 && slots_[end_ - 1] == nullptr) --end_;
    }

    T** slots_;
    int32_t allocated_;  // slots allocated (at least capacity_); those past capacity_ stay null
    int32_t freeFrom_ = 0;  // no empty slot lies below this one
    int32_t capacity_ = kInitialCapacity;
    int32_t step_ = kStep;
    int32_t count_ = 0;
    int32_t end_ = 0;  // one past the highest occupied slot
};

}  // namespace vexil
