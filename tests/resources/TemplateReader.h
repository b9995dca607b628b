// A dialog template read from its bytes: the classic form (DIALOG) and the
// extended form (DIALOGEX) into one shape.
#pragma once

#include "ResourceBytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DialogItem {
    std::uint32_t helpId = 0;  // extended form only
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;  // as the control sees it (0xFFFF read as -1)
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    std::uint16_t extraBytes = 0;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string caption;
    int pointSize = 0;
    int weight = 0;   // extended form only
    int italic = 0;   // extended form only
    int charset = 0;  // extended form only
    std::string face;
    std::vector<DialogItem> items;
};

// Empty when the bytes end early or carry something after the last item.
std::optional<DialogTemplate> ReadDialogTemplate(const Bytes& bytes);
