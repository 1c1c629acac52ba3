// RtString: the one text value of the runtime.
//
// A value owns a heap block of its own or points at the shared empty text.
// Copies always allocate (no sharing, no copy-on-write). Capacity grows to
// (wanted length + 1) rounded down to a multiple of 16, plus 16, and never
// shrinks until clear() or destruction. Numbers turn into text with ten
// significant digits (see number_text.h for the exact rule).
#pragma once

#include <cstdint>

class RtString {
public:
    // The empty value: shared empty text, capacity 0, length 0.
    constexpr RtString() noexcept : buffer_(SharedEmpty()), capacity_(0), length_(0) {}
    RtString(const char* text);
    RtString(const RtString& other);
    RtString(RtString&& other) noexcept;
    explicit RtString(int32_t value);
    explicit RtString(float value);
    explicit RtString(double value);
    ~RtString();

    // Assignment builds a temporary from the source and swaps it in, so the
    // target ends with the capacity construction gives for the new text.
    RtString& operator=(const RtString& other);
    RtString& operator=(const char* text);
    RtString& operator=(int32_t value);
    RtString& operator=(float value);
    RtString& operator=(double value);

    // Append in place; an empty operand leaves the value untouched.
    RtString& operator+=(const RtString& other);
    RtString& operator+=(const char* text);
    RtString& operator+=(int32_t value);
    RtString& operator+=(float value);
    RtString& operator+=(double value);

    const char* c_str() const noexcept { return buffer_ ? buffer_ : SharedEmpty(); }
    uint32_t length() const noexcept { return length_; }
    uint32_t capacity() const noexcept { return capacity_; }
    bool usesSharedEmpty() const noexcept { return buffer_ == SharedEmpty(); }

    // Text to number: leading white space, sign, digits, point, exponent;
    // reading stops at the first character that does not fit.
    explicit operator double() const noexcept;
    // Text to integer: leading white space, sign, decimal digits. Values
    // beyond the 32-bit range saturate at INT32_MIN / INT32_MAX.
    explicit operator int32_t() const noexcept;

    // Makes room for n characters plus terminator; keep copies the old text.
    // Does not change the length.
    void reserve(uint32_t n, bool keep);
    // Reserves n keeping the contents and hands out the block for a writer.
    char* getBuffer(uint32_t n);
    // Sets the length from the block after a writer filled it; never reads
    // past the block, cutting the last byte when no terminator was written.
    void recount() noexcept;
    // Cuts the text at n when 0 <= n < capacity; otherwise does nothing.
    void truncate(int32_t n) noexcept;
    // Gives the block back and becomes the shared empty text.
    void clear() noexcept;

    void swap(RtString& other) noexcept;

private:
    static constexpr char* SharedEmpty() noexcept { return const_cast<char*>(kSharedEmpty); }
    static constexpr char kSharedEmpty[1] = {0};

    void assignText(const char* text, uint32_t n);
    void appendText(const char* text, uint32_t n);
    void releaseBlock() noexcept;

    char* buffer_;
    uint32_t capacity_;
    uint32_t length_;
};

// Concatenation: a copy of the left operand with the right one appended.
RtString operator+(const RtString& a, const RtString& b);
RtString operator+(const RtString& a, const char* b);
RtString operator+(const char* a, const RtString& b);
RtString operator+(const RtString& a, int32_t b);
RtString operator+(int32_t a, const RtString& b);
RtString operator+(const RtString& a, float b);
RtString operator+(float a, const RtString& b);
RtString operator+(const RtString& a, double b);
RtString operator+(double a, const RtString& b);

// Text with text compares bytes as unsigned values, the shorter prefix first.
// Text with a number compares numerically after converting the text:
// through int32_t against an integer, through double against a real.
int CompareText(const char* a, uint32_t aLength, const char* b, uint32_t bLength) noexcept;

#define VTX_RTSTRING_COMPARISONS(OP)                                                   \
    bool operator OP(const RtString& a, const RtString& b) noexcept;                  \
    bool operator OP(const RtString& a, const char* b) noexcept;                      \
    bool operator OP(const char* a, const RtString& b) noexcept;                      \
    bool operator OP(const RtString& a, int32_t b) noexcept;                          \
    bool operator OP(int32_t a, const RtString& b) noexcept;                          \
    bool operator OP(const RtString& a, float b) noexcept;                            \
    bool operator OP(float a, const RtString& b) noexcept;                            \
    bool operator OP(const RtString& a, double b) noexcept;                           \
    bool operator OP(double a, const RtString& b) noexcept;

VTX_RTSTRING_COMPARISONS(==)
VTX_RTSTRING_COMPARISONS(!=)
VTX_RTSTRING_COMPARISONS(<)
VTX_RTSTRING_COMPARISONS(>)
VTX_RTSTRING_COMPARISONS(<=)
VTX_RTSTRING_COMPARISONS(>=)

#undef VTX_RTSTRING_COMPARISONS
