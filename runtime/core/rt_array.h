// RtArray: the language's arrays of one to four dimensions, holding double,
// int32_t or RtString elements.
//
// The record: element pointer; inline storage (numeric arrays only, 128
// bytes); stride1, stride2, stride3; size0..size3; dimension count;
// capacity. The first index varies fastest: element (i, j, k, l) lives at
// i + j*stride1 + k*stride2 + l*stride3.
//
// Numeric arrays keep up to 16 doubles or 8 int32 in the inline storage and
// otherwise a heap block of exactly the element count. Text arrays keep a
// heap array of (count rounded down to a multiple of 64) + 64 texts.
// Failures end the program: 7 out of memory, 8 append to a multi-dimensional
// array, 9 out of bounds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "rt_string.h"

template <typename T>
class RtArray;

namespace vtx::detail {

// The arrays' inner workings, which the templates below need to see; not
// for programs.

// Ends the program on error 9 (out of bounds). Out of line and cold, so the
// element access stays a few instructions long.
[[noreturn, gnu::cold]] void ArrayIndexOutOfBounds();

template <typename T>
inline constexpr bool kIsArrayElement =
    std::is_same_v<T, double> || std::is_same_v<T, int32_t> || std::is_same_v<T, RtString>;

template <typename T>
inline constexpr bool kIsNumericArrayElement = std::is_same_v<T, double> || std::is_same_v<T, int32_t>;

// The 128 bytes of inline storage of a numeric array; texts have none.
template <typename T>
struct ArrayInlineStorage {
    T elements[128 / sizeof(T)];
};
template <>
struct ArrayInlineStorage<RtString> {};

// The commands' access to the record (defined in rt_array.cpp except for
// the element access, which is inline).
struct ArrayAccess {
    template <typename T>
    static T& Element(RtArray<T>& a, int32_t i, int32_t j, int32_t k, int32_t l) noexcept;
    template <typename T>
    static int32_t Bounds(const RtArray<T>& a, int32_t d) noexcept;
    template <typename T>
    static void Dim(RtArray<T>& a, int32_t s0, int32_t s1, int32_t s2, int32_t s3);
    template <typename T>
    static void Resize(RtArray<T>& a, int32_t s0, int32_t s1, int32_t s2, int32_t s3);
    template <typename T>
    static void Append(RtArray<T>& a, T value);
    template <typename T>
    static void FromValues(RtArray<T>& a, int32_t count, std::initializer_list<T> values);
    template <typename T>
    static void CopyFrom(RtArray<T>& target, const RtArray<T>& source);
    template <typename T>
    static void TakeFrom(RtArray<T>& target, RtArray<T>& source) noexcept;
    template <typename T>
    static void Release(RtArray<T>& a) noexcept;
};

}  // namespace vtx::detail

template <typename T>
class RtArray {
    static_assert(vtx::detail::kIsArrayElement<T>, "array elements are double, int32_t or RtString");

public:
    // Elements the inline storage takes: 16 doubles, 8 int32, no texts.
    static constexpr int32_t kInlineCount = std::is_same_v<T, double> ? 16 : std::is_same_v<T, int32_t> ? 8 : 0;

    // A new array has no storage, no dimensions and capacity 0.
    RtArray() noexcept {}
    // A copy is dimensioned with the source's sizes, then every element is copied.
    RtArray(const RtArray& other) { vtx::detail::ArrayAccess::CopyFrom(*this, other); }
    // A move takes the storage; the source is left without storage.
    RtArray(RtArray&& other) noexcept { vtx::detail::ArrayAccess::TakeFrom(*this, other); }
    ~RtArray() { vtx::detail::ArrayAccess::Release(*this); }

    // DimArray of this array with the source's sizes, then every element copied.
    RtArray& operator=(const RtArray& other) {
        if (this != &other) vtx::detail::ArrayAccess::CopyFrom(*this, other);
        return *this;
    }
    // Frees this array's storage and takes the source's.
    RtArray& operator=(RtArray&& other) noexcept {
        if (this != &other) {
            vtx::detail::ArrayAccess::Release(*this);
            vtx::detail::ArrayAccess::TakeFrom(*this, other);
        }
        return *this;
    }

    // Elements the storage holds (see DimArray).
    int32_t capacity() const noexcept { return capacity_; }
    // 0 to 4, from the highest dimension whose size is set.
    int32_t dimensionCount() const noexcept { return dimensions_; }
    // True while the elements live in the record itself.
    bool usesInlineStorage() const noexcept {
        if constexpr (kInlineCount > 0) return elements_ == inline_.elements;
        else return false;
    }
    // Elements of the current shape: size0 times each further size raised to 1.
    int32_t elementCount() const noexcept { return stride3_ * (size3_ > 0 ? size3_ : 1); }

private:
    friend struct vtx::detail::ArrayAccess;

    T* elements_ = nullptr;
    [[no_unique_address]] vtx::detail::ArrayInlineStorage<T> inline_;
    int32_t stride1_ = 0;
    int32_t stride2_ = 0;
    int32_t stride3_ = 0;
    int32_t size0_ = 0;
    int32_t size1_ = 0;
    int32_t size2_ = 0;
    int32_t size3_ = 0;
    int32_t dimensions_ = 0;
    int32_t capacity_ = 0;
};

extern template class RtArray<double>;
extern template class RtArray<int32_t>;
extern template class RtArray<RtString>;

// An array of size0 > 0 always has storage, so the bounds test alone
// guards the pointer. Indices of dimensions the array lacks must be 0.
template <typename T>
inline T& vtx::detail::ArrayAccess::Element(RtArray<T>& a, int32_t i, int32_t j, int32_t k, int32_t l) noexcept {
    if (i < 0) i += a.size0_;  // a negative first index counts from the end
    const uint32_t limit1 = static_cast<uint32_t>(a.size1_ > 0 ? a.size1_ : 1);
    const uint32_t limit2 = static_cast<uint32_t>(a.size2_ > 0 ? a.size2_ : 1);
    const uint32_t limit3 = static_cast<uint32_t>(a.size3_ > 0 ? a.size3_ : 1);
    const bool outside = (static_cast<uint32_t>(i) >= static_cast<uint32_t>(a.size0_)) |
                         (static_cast<uint32_t>(j) >= limit1) | (static_cast<uint32_t>(k) >= limit2) |
                         (static_cast<uint32_t>(l) >= limit3);
    if (outside) [[unlikely]]
        ArrayIndexOutOfBounds();
    return a.elements_[static_cast<intptr_t>(i) + static_cast<intptr_t>(j) * a.stride1_ +
                       static_cast<intptr_t>(k) * a.stride2_ + static_cast<intptr_t>(l) * a.stride3_];
}

template <typename T>
inline int32_t vtx::detail::ArrayAccess::Bounds(const RtArray<T>& a, int32_t d) noexcept {
    switch (d) {
        case 0: return a.size0_;
        case 1: return a.size1_;
        case 2: return a.size2_;
        case 3: return a.size3_;
        default: return 0;
    }
}

// Gives the array the shape s0 x s1 x s2 x s3 with every element 0 (numbers)
// or empty (texts); a size <= 0 after the first counts as absent.
template <typename T>
void DimArray(RtArray<T>& a, int32_t s0, int32_t s1 = 0, int32_t s2 = 0, int32_t s3 = 0) {
    vtx::detail::ArrayAccess::Dim(a, s0, s1, s2, s3);
}

// Gives the array a new shape keeping every element that lies inside both
// shapes at the same indices; s0 <= 0 empties it.
template <typename T>
void ResizeArray(RtArray<T>& a, int32_t s0, int32_t s1 = 0, int32_t s2 = 0, int32_t s3 = 0) {
    vtx::detail::ArrayAccess::Resize(a, s0, s1, s2, s3);
}

// The element at (i, j, k, l); a negative first index counts from the end.
template <typename T>
inline T& ArrayElement(RtArray<T>& a, int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) noexcept {
    return vtx::detail::ArrayAccess::Element(a, i, j, k, l);
}

// The element at (i, j, k, l) of an array that is only read.
template <typename T>
inline const T& ArrayElement(const RtArray<T>& a, int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) noexcept {
    return vtx::detail::ArrayAccess::Element(const_cast<RtArray<T>&>(a), i, j, k, l);
}

// The size of dimension d (0 to 3); 0 for any other d.
template <typename T>
int32_t ArrayBounds(const RtArray<T>& a, int32_t d) noexcept {
    return vtx::detail::ArrayAccess::Bounds(a, d);
}

// Adds one element after the last of a one-dimensional (or empty) array.
template <typename T>
void ArrayAppend(RtArray<T>& a, std::type_identity_t<T> value) {
    vtx::detail::ArrayAccess::Append(a, static_cast<T&&>(value));
}

// Dimensions a numeric array to count elements and fills it from values in
// order; elements beyond the values stay 0, values beyond count are ignored.
template <typename T>
    requires vtx::detail::kIsNumericArrayElement<T>
void ArrayFromValues(RtArray<T>& a, int32_t count, std::initializer_list<std::type_identity_t<T>> values) {
    vtx::detail::ArrayAccess::FromValues(a, count, values);
}
