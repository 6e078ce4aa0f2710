// SlotArray: the growable list of item pointers behind every list of a
// storage. Items keep their slots; a removal leaves a hole that the next Add
// fills first, which is what decides the order of the panel's items.
#pragma once

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

    SlotArray() : slots_(new T*[kInitialCapacity]()) {}
    ~SlotArray() { delete[] slots_; }
    SlotArray(const SlotArray&) = delete;
    SlotArray& operator=(const SlotArray&) = delete;

    // Stores the item in the lowest empty slot (growing by kStep when none is
    // empty) and returns that slot's index, which is also its logical index.
    int32_t Add(T* item) {
        int32_t slot = end_;
        if (count_ != end_) {
            slot = 0;
            while (slots_[slot] != nullptr) ++slot;
        } else if (end_ == capacity_) {
            Grow();
        }
        slots_[slot] = item;
        ++count_;
        if (slot >= end_) end_ = slot + 1;
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
                slots_[s] = nullptr;
                --count_;
                while (end_ > 0 && slots_[end_ - 1] == nullptr) --end_;
                break;
            }
        }
        return count_;
    }

    // Calls f(item) for every item in logical order.
    template <class F>
    void ForEach(F&& f) const {
        for (int32_t s = 0; s < end_; ++s) {
            if (slots_[s] != nullptr) f(slots_[s]);
        }
    }

private:
    void Grow() {
        T** grown = new T*[capacity_ + step_]();
        std::memcpy(grown, slots_, sizeof(T*) * static_cast<size_t>(capacity_));
        delete[] slots_;
        slots_ = grown;
        capacity_ += step_;
    }

    T** slots_;
    int32_t capacity_ = kInitialCapacity;
    int32_t step_ = kStep;
    int32_t count_ = 0;
    int32_t end_ = 0;  // one past the highest occupied slot
};

}  // namespace vexil
