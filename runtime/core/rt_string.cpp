// RtString: ownership, growth, assignment, append, concatenation, comparison.
#include "core/rt_string.h"

#include <cstring>
#include <new>
#include <utility>

#include "core/number_text.h"

namespace {

// Capacity for n characters: (n + 1) rounded down to a multiple of 16, plus
// 16, so 1..14 -> 16, 15..30 -> 32, 31 -> 48.
uint32_t CapacityFor(uint32_t n) {
    if (n > UINT32_MAX - 32) throw std::bad_alloc();
    return ((n + 1) & ~uint32_t{15}) + 16;
}

uint32_t TextLength(const char* text) {
    if (text == nullptr) return 0;
    const size_t n = std::strlen(text);
    if (n > UINT32_MAX - 32) throw std::bad_alloc();
    return static_cast<uint32_t>(n);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

RtString::RtString(const char* text) : RtString() { assignText(text, TextLength(text)); }

RtString::RtString(const RtString& other) : RtString() { assignText(other.c_str(), other.length_); }

RtString::RtString(RtString&& other) noexcept : buffer_(other.buffer_), capacity_(other.capacity_), length_(other.length_) {
    other.buffer_ = SharedEmpty();
    other.capacity_ = 0;
    other.length_ = 0;
}

RtString::RtString(int32_t value) : RtString() {
    reserve(15, false);
    vtx::FormatInteger(value, buffer_);
    recount();
}

RtString::RtString(float value) : RtString(static_cast<double>(value)) {}

RtString::RtString(double value) : RtString() {
    reserve(63, false);
    vtx::FormatReal(value, buffer_);
    recount();
}

RtString::~RtString() {
    releaseBlock();
    buffer_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

void RtString::releaseBlock() noexcept {
    if (buffer_ != nullptr && buffer_ != SharedEmpty()) delete[] buffer_;
}

void RtString::assignText(const char* text, uint32_t n) {
    if (n == 0) return;
    reserve(n, false);
    std::memcpy(buffer_, text, n);
    length_ = n;
    buffer_[n] = 0;
}

// ---------------------------------------------------------------------------
// Growth and direct buffer access

void RtString::reserve(uint32_t n, bool keep) {
    if (n == 0) return;
    // Growth keeps a spare byte beyond the terminator: a block that the text
    // and its terminator would fill exactly is replaced, so a run of
    // one-character appends reallocates at lengths 1, 15, 31, 47, ...
    const uint32_t need = n + 1;
    if (capacity_ > need) return;
    const uint32_t capacity = CapacityFor(n);
    char* block = new char[capacity];
    if (keep && length_ != 0) {
        std::memcpy(block, buffer_, length_);
        block[length_] = 0;
    } else {
        block[0] = 0;
    }
    releaseBlock();
    buffer_ = block;
    capacity_ = capacity;
}

char* RtString::getBuffer(uint32_t n) {
    reserve(n, true);
    return buffer_;
}

void RtString::recount() noexcept {
    length_ = 0;
    if (capacity_ == 0 || buffer_ == nullptr || buffer_[0] == 0) return;
    const void* end = std::memchr(buffer_, 0, capacity_);
    if (end == nullptr) {
        length_ = capacity_ - 1;
        buffer_[length_] = 0;
    } else {
        length_ = static_cast<uint32_t>(static_cast<const char*>(end) - buffer_);
    }
}

void RtString::truncate(int32_t n) noexcept {
    if (n < 0 || static_cast<uint32_t>(n) >= capacity_) return;
    buffer_[n] = 0;
    length_ = static_cast<uint32_t>(n);
}

void RtString::clear() noexcept {
    releaseBlock();
    buffer_ = SharedEmpty();
    capacity_ = 0;
    length_ = 0;
}

void RtString::swap(RtString& other) noexcept {
    std::swap(buffer_, other.buffer_);
    std::swap(capacity_, other.capacity_);
    std::swap(length_, other.length_);
}

// ---------------------------------------------------------------------------
// Assignment (copy and swap)

RtString& RtString::operator=(const RtString& other) {
    RtString copy(other);
    swap(copy);
    return *this;
}

RtString& RtString::operator=(const char* text) {
    RtString copy(text);
    swap(copy);
    return *this;
}

RtString& RtString::operator=(int32_t value) {
    RtString copy(value);
    swap(copy);
    return *this;
}

RtString& RtString::operator=(float value) { return *this = static_cast<double>(value); }

RtString& RtString::operator=(double value) {
    RtString copy(value);
    swap(copy);
    return *this;
}

// ---------------------------------------------------------------------------
// Append

void RtString::appendText(const char* text, uint32_t n) {
    if (n == 0) return;
    if (n > UINT32_MAX - 32 - length_) throw std::bad_alloc();
    // Appending a piece of this very value: keep the piece alive across the
    // reallocation that is about to free it.
    const auto at = reinterpret_cast<uintptr_t>(text), base = reinterpret_cast<uintptr_t>(buffer_);
    if (capacity_ != 0 && at >= base && at < base + capacity_ && length_ + n + 1 > capacity_) {
        RtString piece;
        piece.assignText(text, n);
        appendText(piece.buffer_, n);
        return;
    }
    reserve(length_ + n, true);
    std::memmove(buffer_ + length_, text, n);
    length_ += n;
    buffer_[length_] = 0;
}

RtString& RtString::operator+=(const RtString& other) {
    appendText(other.c_str(), other.length_);
    return *this;
}

RtString& RtString::operator+=(const char* text) {
    appendText(text, TextLength(text));
    return *this;
}

RtString& RtString::operator+=(int32_t value) {
    char text[vtx::kIntegerTextRoom];
    appendText(text, static_cast<uint32_t>(vtx::FormatInteger(value, text)));
    return *this;
}

RtString& RtString::operator+=(float value) { return *this += static_cast<double>(value); }

RtString& RtString::operator+=(double value) {
    char text[vtx::kRealTextRoom];
    appendText(text, static_cast<uint32_t>(vtx::FormatReal(value, text)));
    return *this;
}

// ---------------------------------------------------------------------------
// Conversions

RtString::operator double() const noexcept { return vtx::TextToReal(c_str()); }

RtString::operator int32_t() const noexcept { return vtx::TextToInteger(c_str()); }

// ---------------------------------------------------------------------------
// Concatenation: the left operand's value, then the right one appended.

RtString operator+(const RtString& a, const RtString& b) { RtString r(a); r += b; return r; }
RtString operator+(const RtString& a, const char* b) { RtString r(a); r += b; return r; }
RtString operator+(const char* a, const RtString& b) { RtString r(a); r += b; return r; }
RtString operator+(const RtString& a, int32_t b) { RtString r(a); r += b; return r; }
RtString operator+(int32_t a, const RtString& b) { RtString r(a); r += b; return r; }
RtString operator+(const RtString& a, float b) { RtString r(a); r += b; return r; }
RtString operator+(float a, const RtString& b) { RtString r(a); r += b; return r; }
RtString operator+(const RtString& a, double b) { RtString r(a); r += b; return r; }
RtString operator+(double a, const RtString& b) { RtString r(a); r += b; return r; }

// ---------------------------------------------------------------------------
// Comparison

int CompareText(const char* a, uint32_t aLength, const char* b, uint32_t bLength) noexcept {
    const uint32_t common = aLength < bLength ? aLength : bLength;
    const int c = common == 0 ? 0 : std::memcmp(a, b, common);  // memcmp compares unsigned bytes
    if (c != 0) return c < 0 ? -1 : 1;
    if (aLength == bLength) return 0;
    return aLength < bLength ? -1 : 1;
}

namespace {

int Order(const RtString& a, const RtString& b) noexcept {
    return CompareText(a.c_str(), a.length(), b.c_str(), b.length());
}
int Order(const RtString& a, const char* b) noexcept {
    const char* text = b ? b : "";
    return CompareText(a.c_str(), a.length(), text, static_cast<uint32_t>(std::strlen(text)));
}
int Order(const char* a, const RtString& b) noexcept { return -Order(b, a); }

}  // namespace

#define VTX_DEFINE_COMPARISONS(OP)                                                                      \
    bool operator OP(const RtString& a, const RtString& b) noexcept { return Order(a, b) OP 0; }      \
    bool operator OP(const RtString& a, const char* b) noexcept { return Order(a, b) OP 0; }          \
    bool operator OP(const char* a, const RtString& b) noexcept { return Order(a, b) OP 0; }          \
    bool operator OP(const RtString& a, int32_t b) noexcept { return static_cast<int32_t>(a) OP b; }  \
    bool operator OP(int32_t a, const RtString& b) noexcept { return a OP static_cast<int32_t>(b); }  \
    bool operator OP(const RtString& a, float b) noexcept { return static_cast<double>(a) OP b; }     \
    bool operator OP(float a, const RtString& b) noexcept { return a OP static_cast<double>(b); }     \
    bool operator OP(const RtString& a, double b) noexcept { return static_cast<double>(a) OP b; }    \
    bool operator OP(double a, const RtString& b) noexcept { return a OP static_cast<double>(b); }

VTX_DEFINE_COMPARISONS(==)
VTX_DEFINE_COMPARISONS(!=)
VTX_DEFINE_COMPARISONS(<)
VTX_DEFINE_COMPARISONS(>)
VTX_DEFINE_COMPARISONS(<=)
VTX_DEFINE_COMPARISONS(>=)

#undef VTX_DEFINE_COMPARISONS
