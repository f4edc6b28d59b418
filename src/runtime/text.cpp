#include "runtime/text.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/memory.hpp"
#include "runtime/errors.hpp"

namespace {

// Allocates a block for `length` bytes (copied from `source` unless it is null). A length of
// zero is the empty text, which owns no block.
char* AllocateBlock(const char* source, uint32_t length) {
    if (length == 0) return nullptr;
    char* block = platform::SysAllocStringByteLen(source, length);
    if (block == nullptr) RtRaiseError(kRtErrOutOfMemory);
    return block;
}

uint32_t BlockLength(const char* block) {
    if (block == nullptr) return 0;
    uint32_t length;
    std::memcpy(&length, block - sizeof(uint32_t), sizeof length);
    return length;
}

}  // namespace

Text::Text(const char* cString)
    : block_(AllocateBlock(cString, static_cast<uint32_t>(std::strlen(cString)))) {}

Text::Text(std::string_view bytes)
    : block_(AllocateBlock(bytes.data(), static_cast<uint32_t>(bytes.size()))) {}

Text::Text(const Text& other) : block_(AllocateBlock(other.block_, other.Length())) {}

Text& Text::operator=(const Text& other) {
    if (this == &other) return *this;
    const uint32_t length = other.Length();
    // A block of the right length is reused rather than reallocated.
    if (block_ != nullptr && Length() == length) {
        std::memcpy(block_, other.block_, length);
        return *this;
    }
    char* fresh = AllocateBlock(other.block_, length);
    platform::SysFreeString(block_);
    block_ = fresh;
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        platform::SysFreeString(block_);
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

Text::~Text() { platform::SysFreeString(block_); }

Text Text::WithLength(uint32_t length) { return Adopt(AllocateBlock(nullptr, length)); }

uint32_t Text::Length() const noexcept { return BlockLength(block_); }

char* Text::Release() noexcept {
    char* block = block_;
    block_ = nullptr;
    return block;
}

Text Text::Adopt(char* block) noexcept {
    Text text;
    text.block_ = block;
    return text;
}

Text operator+(const Text& first, const Text& second) {
    const uint32_t firstLength = first.Length();
    const uint32_t secondLength = second.Length();
    if (secondLength > UINT32_MAX - firstLength) {
        RtRaiseError(kRtErrOutOfMemory);
        return Text();
    }
    Text joined = Text::WithLength(firstLength + secondLength);
    if (joined.Empty()) return joined;
    if (firstLength) std::memcpy(joined.WritableData(), first.Data(), firstLength);
    if (secondLength) std::memcpy(joined.WritableData() + firstLength, second.Data(), secondLength);
    return joined;
}

int StrCompare(const Text& first, const Text& second) noexcept {
    const uint32_t firstLength = first.Length();
    const uint32_t secondLength = second.Length();
    const uint32_t common = std::min(firstLength, secondLength);
    if (common > 0) {
        // memcmp compares as unsigned char, which is the rule for texts.
        if (int order = std::memcmp(first.Data(), second.Data(), common)) return order;
    }
    return firstLength < secondLength ? -1 : firstLength > secondLength ? 1 : 0;
}

Text StrFromBytes(std::initializer_list<int32_t> values) {
    uint32_t length = 0;
    for (int32_t value : values)
        length += value != -1;
    Text text = Text::WithLength(length);
    if (text.Empty()) return text;
    char* out = text.WritableData();
    for (int32_t value : values) {
        if (value != -1) *out++ = static_cast<char>(value & 0xFF);
    }
    return text;
}
