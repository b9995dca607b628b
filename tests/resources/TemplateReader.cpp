#include "TemplateReader.h"

#include <windows.h>

namespace {

constexpr std::uint16_t ExtendedVersion = 1;
constexpr std::uint16_t ExtendedSignature = 0xFFFF;

void ReadRect(ByteCursor& in, int& x, int& y, int& cx, int& cy)
{
    x = in.I16();
    y = in.I16();
    cx = in.I16();
    cy = in.I16();
}

DialogItem ReadItem(ByteCursor& in, bool extended)
{
    DialogItem item;
    in.AlignToDword();
    if (extended) {
        item.helpId = in.U32();
        item.exStyle = in.U32();
        item.style = in.U32();
    } else {
        item.style = in.U32();
        item.exStyle = in.U32();
    }
    ReadRect(in, item.x, item.y, item.cx, item.cy);
    // A control id is 16 bits in the classic form; both forms use 0xFFFF
    // for -1 (IDC_STATIC).
    const std::uint32_t id = extended ? in.U32() : in.U16();
    item.id = (id == 0xFFFF || id == 0xFFFFFFFF) ? -1 : static_cast<int>(id);
    item.windowClass = in.NameOrOrd();
    item.text = in.NameOrOrd();
    item.extraBytes = in.U16();
    for (int i = 0; i < item.extraBytes; ++i)
        in.U8();
    return item;
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const Bytes& bytes)
{
    ByteCursor in(bytes);
    DialogTemplate dialog;
    const std::uint16_t first = in.U16();
    const std::uint16_t second = in.U16();
    dialog.extended = first == ExtendedVersion && second == ExtendedSignature;
    int itemCount = 0;
    if (dialog.extended) {
        dialog.helpId = in.U32();
        dialog.exStyle = in.U32();
        dialog.style = in.U32();
    } else {
        dialog.style = first | static_cast<std::uint32_t>(second) << 16;
        dialog.exStyle = in.U32();
    }
    itemCount = in.U16();
    ReadRect(in, dialog.x, dialog.y, dialog.cx, dialog.cy);
    dialog.menu = in.NameOrOrd();
    dialog.windowClass = in.NameOrOrd();
    dialog.caption = in.WideText();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.U16();
        if (dialog.extended) {
            dialog.weight = in.U16();
            dialog.italic = in.U8();
            dialog.charset = in.U8();
        }
        dialog.face = in.WideText();
    }
    for (int i = 0; i < itemCount && in.ok(); ++i)
        dialog.items.push_back(ReadItem(in, dialog.extended));
    if (!in.ok())
        return std::nullopt;
    in.AlignToDword();
    if (!in.AtEnd())
        return std::nullopt;
    return dialog;
}
