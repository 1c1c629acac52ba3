// FixedDeque: a fixed-capacity ring buffer addressed by logical positions
// 0 (front) to size - 1 (back). The planner's open list keeps it sorted and
// pays for that with shifting on every insertion and erasure; the scratch
// buffer stages the run of elements that moves.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

namespace vtx {

template <typename T>
class FixedDeque {
    static_assert(std::is_trivially_copyable_v<T>, "elements move with memcpy");

public:
    FixedDeque() = default;
    FixedDeque(const FixedDeque&) = delete;
    FixedDeque& operator=(const FixedDeque&) = delete;
    virtual ~FixedDeque() { Free(); }

    // Allocates both buffers for capacity elements (none for 0) and empties
    // the deque; false when the memory cannot be had (capacity is then 0).
    bool Init(unsigned capacity) {
        Free();
        Clear();
        if (capacity == 0) return true;
        elements_ = new (std::nothrow) T[capacity];
        scratch_ = new (std::nothrow) T[capacity];
        if (!elements_ || !scratch_) {
            Free();
            return false;
        }
        capacity_ = capacity;
        return true;
    }

    unsigned Capacity() const { return capacity_; }
    // 0 when empty; equal head and tail with the empty flag clear means full.
    unsigned Size() const {
        if (empty_) return 0;
        return head_ < tail_ ? tail_ - head_ : capacity_ + tail_ - head_;
    }
    bool Empty() const { return empty_; }
    bool Full() const { return !empty_ && head_ == tail_; }

    T& Back() { return elements_[tail_ == 0 ? capacity_ - 1 : tail_ - 1]; }
    T& At(unsigned i) { return elements_[Wrap(head_ + i)]; }
    const T& At(unsigned i) const { return elements_[Wrap(head_ + i)]; }

    bool PushBack(const T& value) {
        if (Full() || capacity_ == 0) return false;
        elements_[tail_] = value;
        tail_ = Wrap(tail_ + 1);
        empty_ = false;
        return true;
    }
    bool PushFront(const T& value) {
        if (Full() || capacity_ == 0) return false;
        head_ = head_ == 0 ? capacity_ - 1 : head_ - 1;
        elements_[head_] = value;
        empty_ = false;
        return true;
    }
    bool PopBack() {
        if (empty_) return false;
        tail_ = tail_ == 0 ? capacity_ - 1 : tail_ - 1;
        empty_ = head_ == tail_;
        return true;
    }
    bool PopFront() {
        if (empty_) return false;
        head_ = Wrap(head_ + 1);
        empty_ = head_ == tail_;
        return true;
    }

    // The elements from i to the back move one place toward the back and
    // value takes position i.
    bool Insert(unsigned i, const T& value) {
        const unsigned size = Size();
        if (i == size) return PushBack(value);
        if (i == 0) return PushFront(value);
        if (Full() || i > size) return false;
        const unsigned run = size - i;
        CopyOut(i, run);
        At(i) = value;
        tail_ = Wrap(tail_ + 1);
        CopyIn(i + 1, run);
        return true;
    }

    // The elements after i move one place toward the front.
    bool Erase(unsigned i) {
        const unsigned size = Size();
        if (empty_ || i >= size) return false;
        if (i == size - 1) return PopBack();
        if (i == 0) return PopFront();
        const unsigned run = size - i - 1;
        CopyOut(i + 1, run);
        CopyIn(i, run);
        tail_ = tail_ == 0 ? capacity_ - 1 : tail_ - 1;
        return true;
    }

    void Clear() {
        head_ = tail_ = 0;
        empty_ = true;
    }

private:
    unsigned Wrap(unsigned index) const { return index >= capacity_ ? index - capacity_ : index; }

    // Copies count elements from logical position from into the scratch
    // buffer, in at most two pieces of the ring.
    void CopyOut(unsigned from, unsigned count) {
        const unsigned start = Wrap(head_ + from);
        const unsigned first = count < capacity_ - start ? count : capacity_ - start;
        std::memcpy(scratch_, elements_ + start, first * sizeof(T));
        std::memcpy(scratch_ + first, elements_, (count - first) * sizeof(T));
    }
    // Copies count staged elements back to logical position to onward.
    void CopyIn(unsigned to, unsigned count) {
        const unsigned start = Wrap(head_ + to);
        const unsigned first = count < capacity_ - start ? count : capacity_ - start;
        std::memcpy(elements_ + start, scratch_, first * sizeof(T));
        std::memcpy(elements_, scratch_ + first, (count - first) * sizeof(T));
    }

    void Free() {
        delete[] elements_;
        delete[] scratch_;
        elements_ = scratch_ = nullptr;
        capacity_ = 0;
    }

    T* elements_ = nullptr;
    T* scratch_ = nullptr;
    unsigned capacity_ = 0;
    unsigned head_ = 0;
    unsigned tail_ = 0;  // one past the back
    bool empty_ = true;
};

}  // namespace vtx
