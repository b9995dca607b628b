// The version resource read from its bytes as the tree it is: each node a
// key with a text or binary value and child nodes, in stored order.
#pragma once

#include "ResourceBytes.h"

#include <optional>
#include <string>
#include <vector>

struct VersionNode {
    std::string key;
    bool isText = false;
    std::string text;  // text value (without its NUL)
    Bytes binary;      // binary value
    std::vector<VersionNode> children;

    const VersionNode* Child(const std::string& childKey) const;
};

// Empty when a node's length runs past its parent or the bytes end early.
std::optional<VersionNode> ReadVersionBlock(const Bytes& bytes);
