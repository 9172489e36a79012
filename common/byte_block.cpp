#include "common/replacement_range.h"
#include "common/text.h"

ByteBlock blank_bytes(int count)
{
    return count <= 0 ? ByteBlock() : ByteBlock(static_cast<std::size_t>(count), '\0');
}

ByteBlock bytes_left(const ByteBlock& block, int count)
{
    return count <= 0 ? ByteBlock() : block.substr(0, static_cast<std::size_t>(count));
}

ByteBlock replace_bytes(const ByteBlock& block, const ByteBlock& find, const ByteBlock& replacement,
                        std::optional<int> start_position, std::optional<int> count)
{
    if (block.empty() || find.empty())
        return block;
    ReplacementRange range = replacement_range(start_position, count);
    ByteBlock result = block.substr(0, range.first_byte);
    std::size_t at = range.first_byte;
    while (range.budget > 0 && at < block.size()) {
        const std::size_t found = block.find(find, at);
        if (found == ByteBlock::npos)
            break;
        result.append(block, at, found - at).append(replacement);
        at = found + find.size();
        --range.budget;
    }
    if (at < block.size())
        result.append(block, at);
    return result;
}
