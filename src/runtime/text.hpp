#pragma once
// Text: the runtime's byte string.

#include <compare>
#include <cstdint>
#include <initializer_list>
#include <string_view>

/// A byte string of any bytes, NUL included, with no character-set conversion. It holds a
/// pointer to the first byte of a block whose 32-bit length stands in the four bytes before
/// it and whose last byte is followed by a NUL; the empty text is the null pointer. Other
/// programs see exactly this one pointer (the exported EXIST takes a pointer to a Text), so
/// the class must stay a single pointer in size and layout.
///
/// Texts are values: copying copies the bytes, moving hands the block over. A block that
/// cannot be allocated raises runtime error 7 and leaves the empty text.
class Text {
  public:
    Text() noexcept = default;
    /// The bytes up to the first NUL.
    Text(const char* cString);
    /// Exactly these bytes, NULs included.
    explicit Text(std::string_view bytes);
    Text(const Text& other);
    Text(Text&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    Text& operator=(const Text& other);
    Text& operator=(Text&& other) noexcept;
    ~Text();

    /// A text of `length` bytes whose content the caller fills through WritableData.
    static Text WithLength(uint32_t length);

    uint32_t Length() const noexcept;
    bool Empty() const noexcept { return block_ == nullptr; }
    /// The first byte, NUL-terminated; null for the empty text.
    const char* Data() const noexcept { return block_; }
    char* WritableData() noexcept { return block_; }
    std::string_view Bytes() const noexcept { return {block_ ? block_ : "", Length()}; }
    uint8_t operator[](uint32_t index) const { return static_cast<uint8_t>(block_[index]); }

    /// Hands the block to the caller, who must free it with platform::SysFreeString.
    char* Release() noexcept;
    /// Takes ownership of a block made by platform::SysAllocStringByteLen.
    static Text Adopt(char* block) noexcept;

  private:
    char* block_ = nullptr;
};

static_assert(sizeof(Text) == sizeof(char*), "Text is shared with other programs as one pointer");

/// Concatenation: the bytes of the first text followed by those of the second.
Text operator+(const Text& first, const Text& second);

/// Unsigned byte-wise comparison of the common prefix; the shorter text is less when the
/// prefix is equal. Negative, zero or positive.
int StrCompare(const Text& first, const Text& second) noexcept;

inline bool operator==(const Text& first, const Text& second) noexcept {
    return first.Length() == second.Length() && StrCompare(first, second) == 0;
}
inline std::strong_ordering operator<=>(const Text& first, const Text& second) noexcept {
    return StrCompare(first, second) <=> 0;
}

/// A text of one byte per value, taking each value's low 8 bits; a value of -1 contributes
/// nothing.
Text StrFromBytes(std::initializer_list<int32_t> values);
