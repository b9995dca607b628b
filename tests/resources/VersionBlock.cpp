#include "VersionBlock.h"

#include <algorithm>

namespace {

constexpr std::uint16_t TextValue = 1;

// Reads the node that starts at `start` and ends before `limit`; sets
// `next` to the position after it.
std::optional<VersionNode> ReadNode(const Bytes& bytes, std::size_t start, std::size_t limit, std::size_t& next,
                                    int depth)
{
    ByteCursor in(bytes, start, limit);
    const std::size_t length = in.U16();
    const std::uint16_t valueLength = in.U16();
    const std::uint16_t type = in.U16();
    if (!in.ok() || length < 6 || start + length > limit || depth > 4)
        return std::nullopt;
    ByteCursor node(bytes, start + 6, start + length);
    VersionNode result;
    result.key = node.WideText();
    node.AlignToDword();
    result.isText = type == TextValue;
    if (valueLength > 0) {
        if (result.isText) {
            result.text = node.WideText();
        } else {
            for (int i = 0; i < valueLength; ++i)
                result.binary.push_back(node.U8());
        }
    }
    node.AlignToDword();
    if (!node.ok())
        return std::nullopt;
    const std::size_t end = start + length;
    for (std::size_t pos = node.Position(); pos < end;) {
        std::size_t after = 0;
        auto child = ReadNode(bytes, pos, end, after, depth + 1);
        if (!child)
            return std::nullopt;
        result.children.push_back(std::move(*child));
        pos = std::min((after + 3) / 4 * 4, end);
    }
    next = end;
    return result;
}

}  // namespace

const VersionNode* VersionNode::Child(const std::string& childKey) const
{
    for (const VersionNode& child : children) {
        if (child.key == childKey)
            return &child;
    }
    return nullptr;
}

std::optional<VersionNode> ReadVersionBlock(const Bytes& bytes)
{
    std::size_t next = 0;
    return ReadNode(bytes, 0, bytes.size(), next, 0);
}
