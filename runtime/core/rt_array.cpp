// RtArray: dimensioning, resizing, appending, copying and freeing.
#include "core/rt_array.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

#include "host/host_state.h"

namespace vtx::detail {

namespace {

constexpr uint32_t kOutOfMemory = 7;
constexpr uint32_t kAppendToManyDimensions = 8;
constexpr uint32_t kOutOfBounds = 9;
constexpr int32_t kTextBlock = 64;  // text arrays grow 64 elements at a time

// A size after the first counts at least once in the element count.
int32_t AtLeastOne(int32_t size) { return size > 0 ? size : 1; }
// A size after the first is stored as 0 when it is not positive.
int32_t Stored(int32_t size) { return size > 0 ? size : 0; }

// The numeric storage block: the inline storage when count fits, else a
// heap block of count elements.
template <typename T>
T* NumericBlock(T* inlineElements, int32_t count) {
    if (count <= RtArray<T>::kInlineCount) return inlineElements;
    T* block = new (std::nothrow) T[static_cast<size_t>(count)];
    if (block == nullptr) FatalError(kOutOfMemory);
    return block;
}

}  // namespace

void ArrayIndexOutOfBounds() { FatalError(kOutOfBounds); }

template <typename T>
void ArrayAccess::Dim(RtArray<T>& a, int32_t s0, int32_t s1, int32_t s2, int32_t s3) {
    static_assert(offsetof(RtArray<T>, elements_) == 0);
    static_assert(offsetof(RtArray<T>, stride1_) == (kIsNumericArrayElement<T> ? 8 + 128 : 8));
    static_assert(offsetof(RtArray<T>, size0_) == offsetof(RtArray<T>, stride1_) + 3 * sizeof(int32_t));
    static_assert(offsetof(RtArray<T>, capacity_) == offsetof(RtArray<T>, size0_) + 5 * sizeof(int32_t));

    const int32_t m0 = s0 > 0 ? s0 : 0;
    const int32_t m1 = AtLeastOne(s1);
    const int32_t m2 = AtLeastOne(s2);
    const int32_t m3 = AtLeastOne(s3);
    // Each partial product is at most the count, so the strides fit too.
    int32_t stride2 = 0;
    int32_t stride3 = 0;
    int32_t count = 0;
    if (__builtin_mul_overflow(m0, m1, &stride2) || __builtin_mul_overflow(stride2, m2, &stride3) ||
        __builtin_mul_overflow(stride3, m3, &count))
        FatalError(kOutOfMemory);

    if constexpr (kIsNumericArrayElement<T>) {
        if (count > a.capacity_ || s0 <= 0) {
            // The new block comes first: a failed allocation leaves the old one intact.
            T* block = NumericBlock(a.inline_.elements, count);
            if (a.elements_ != nullptr && a.elements_ != a.inline_.elements && a.elements_ != block)
                delete[] a.elements_;
            a.elements_ = block;
            a.capacity_ = count;
        }
        std::fill_n(a.elements_, a.capacity_, T{});
    } else {
        const int64_t rounded = static_cast<int64_t>(count) / kTextBlock * kTextBlock + kTextBlock;
        if (rounded > INT32_MAX) FatalError(kOutOfMemory);
        const int32_t capacity = static_cast<int32_t>(rounded);
        if (capacity > a.capacity_ || s0 <= 0) {
            RtString* block = new (std::nothrow) RtString[static_cast<size_t>(capacity)];
            if (block == nullptr) FatalError(kOutOfMemory);
            delete[] a.elements_;
            a.elements_ = block;
            a.capacity_ = capacity;
        } else {
            for (int32_t n = 0; n < a.capacity_; ++n) a.elements_[n].clear();
        }
    }

    a.size0_ = m0;
    a.size1_ = Stored(s1);
    a.size2_ = Stored(s2);
    a.size3_ = Stored(s3);
    a.dimensions_ = a.size3_ != 0 ? 4 : a.size2_ != 0 ? 3 : a.size1_ != 0 ? 2 : a.size0_ > 0 ? 1 : 0;
    // From the counted sizes, not the stored ones: with an absent middle
    // dimension every element still has a place of its own.
    a.stride1_ = m0;
    a.stride2_ = stride2;
    a.stride3_ = stride3;
}

template <typename T>
void ArrayAccess::Resize(RtArray<T>& a, int32_t s0, int32_t s1, int32_t s2, int32_t s3) {
    RtArray<T> fresh;
    if (s0 > 0) Dim(fresh, s0, s1, s2, s3);
    else Dim(fresh, 0, 0, 0, 0);  // emptied: every size and the dimension count 0

    if (a.elements_ != nullptr) {
        const int32_t n0 = std::min(a.size0_, fresh.size0_);
        const int32_t n1 = std::min(AtLeastOne(a.size1_), AtLeastOne(fresh.size1_));
        const int32_t n2 = std::min(AtLeastOne(a.size2_), AtLeastOne(fresh.size2_));
        const int32_t n3 = std::min(AtLeastOne(a.size3_), AtLeastOne(fresh.size3_));
        for (int32_t l = 0; l < n3; ++l)
            for (int32_t k = 0; k < n2; ++k)
                for (int32_t j = 0; j < n1; ++j) {
                    T* from = a.elements_ + static_cast<ptrdiff_t>(j) * a.stride1_ +
                              static_cast<ptrdiff_t>(k) * a.stride2_ + static_cast<ptrdiff_t>(l) * a.stride3_;
                    T* to = fresh.elements_ + static_cast<ptrdiff_t>(j) * fresh.stride1_ +
                            static_cast<ptrdiff_t>(k) * fresh.stride2_ + static_cast<ptrdiff_t>(l) * fresh.stride3_;
                    std::move(from, from + n0, to);
                }
    }
    a = std::move(fresh);
}

template <typename T>
void ArrayAccess::Append(RtArray<T>& a, T value) {
    if (a.size1_ != 0) FatalError(kAppendToManyDimensions);
    const int32_t last = a.size0_;
    if (last == INT32_MAX) FatalError(kOutOfMemory);
    // value is a copy, so it stays valid even when it came from this array.
    Resize(a, last + 1, 0, 0, 0);
    a.elements_[last] = std::move(value);
}

template <typename T>
void ArrayAccess::FromValues(RtArray<T>& a, int32_t count, std::initializer_list<T> values) {
    Dim(a, count, 0, 0, 0);
    const size_t n = std::min(static_cast<size_t>(a.size0_), values.size());
    std::copy_n(values.begin(), n, a.elements_);
}

template <typename T>
void ArrayAccess::CopyFrom(RtArray<T>& target, const RtArray<T>& source) {
    Dim(target, source.size0_, source.size1_, source.size2_, source.size3_);
    if (source.elements_ != nullptr) std::copy_n(source.elements_, source.elementCount(), target.elements_);
}

template <typename T>
void ArrayAccess::TakeFrom(RtArray<T>& target, RtArray<T>& source) noexcept {
    target.elements_ = source.elements_;
    if constexpr (kIsNumericArrayElement<T>) {
        if (source.elements_ == source.inline_.elements) {
            std::copy_n(source.inline_.elements, source.capacity_, target.inline_.elements);
            target.elements_ = target.inline_.elements;
        }
    }
    target.stride1_ = std::exchange(source.stride1_, 0);
    target.stride2_ = std::exchange(source.stride2_, 0);
    target.stride3_ = std::exchange(source.stride3_, 0);
    target.size0_ = std::exchange(source.size0_, 0);
    target.size1_ = std::exchange(source.size1_, 0);
    target.size2_ = std::exchange(source.size2_, 0);
    target.size3_ = std::exchange(source.size3_, 0);
    target.dimensions_ = std::exchange(source.dimensions_, 0);
    target.capacity_ = std::exchange(source.capacity_, 0);
    source.elements_ = nullptr;
}

template <typename T>
void ArrayAccess::Release(RtArray<T>& a) noexcept {
    if constexpr (kIsNumericArrayElement<T>) {
        if (a.elements_ != a.inline_.elements) delete[] a.elements_;
    } else {
        delete[] a.elements_;
    }
    a.elements_ = nullptr;
}

#define VTX_ARRAY_INSTANCES(T)                                                                   \
    template void ArrayAccess::Dim<T>(RtArray<T>&, int32_t, int32_t, int32_t, int32_t);          \
    template void ArrayAccess::Resize<T>(RtArray<T>&, int32_t, int32_t, int32_t, int32_t);       \
    template void ArrayAccess::Append<T>(RtArray<T>&, T);                                        \
    template void ArrayAccess::CopyFrom<T>(RtArray<T>&, const RtArray<T>&);                      \
    template void ArrayAccess::TakeFrom<T>(RtArray<T>&, RtArray<T>&) noexcept;                   \
    template void ArrayAccess::Release<T>(RtArray<T>&) noexcept;

VTX_ARRAY_INSTANCES(double)
VTX_ARRAY_INSTANCES(int32_t)
VTX_ARRAY_INSTANCES(RtString)
template void ArrayAccess::FromValues<double>(RtArray<double>&, int32_t, std::initializer_list<double>);
template void ArrayAccess::FromValues<int32_t>(RtArray<int32_t>&, int32_t, std::initializer_list<int32_t>);

#undef VTX_ARRAY_INSTANCES

}  // namespace vtx::detail

template class RtArray<double>;
template class RtArray<int32_t>;
template class RtArray<RtString>;
