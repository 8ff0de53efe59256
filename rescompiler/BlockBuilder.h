// An in-memory byte buffer for nested length-prefixed blocks, the shape of version information
// (and of other resource data that nests): little-endian values, alignment to four bytes from
// the start of the buffer, and blocks whose 16-bit length word is patched once their children
// are written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelbo {

class BlockBuilder {
public:
    // Where a block starts; closeBlock takes it back.
    struct Block {
        std::size_t start;
    };

    void u8(std::uint8_t v) { data_ += static_cast<char>(v); }
    void u16(std::uint16_t v) {
        data_ += static_cast<char>(v & 0xFF);
        data_ += static_cast<char>(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void bytes(std::string_view b) { data_ += b; }
    void zeros(std::size_t count) { data_.append(count, '\0'); }
    // Zero bytes up to the next multiple of four from the start of the buffer; a block that
    // starts aligned is thereby aligned within itself too.
    void align4() { zeros((4 - data_.size() % 4) % 4); }

    // Reserves the block's length word at the current offset.
    Block openBlock() {
        Block block{data_.size()};
        u16(0);
        return block;
    }
    // The length counts the block from its length word to the last byte written, so padding
    // after its last child is not part of it. A length past 65535 marks the buffer overflowed.
    void closeBlock(Block block) { patch16(block.start, data_.size() - block.start); }
    // Overwrites the 16-bit word at `offset` (a value length reserved earlier, say).
    void patch16(std::size_t offset, std::size_t value) {
        if (value > 0xFFFF)
            overflowed_ = true;
        data_[offset] = static_cast<char>(value & 0xFF);
        data_[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
    }

    std::size_t size() const { return data_.size(); }
    const std::string& data() const { return data_; }
    std::string take() { return std::move(data_); }
    // True when a patched length did not fit its 16 bits.
    bool overflowed() const { return overflowed_; }

private:
    std::string data_;
    bool overflowed_ = false;
};

} // namespace kelbo
