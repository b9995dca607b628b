#include "MessageMap.h"

const MessageMap* CCmdTarget::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {MessageMapEntry{}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MessageMapEntry* CCmdTarget::FindEntry(UINT message, UINT notifyCode, UINT id) const
{
    for (const MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->getBaseMap != nullptr ? map->getBaseMap() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; !std::holds_alternative<std::monostate>(entry->handler);
             ++entry) {
            if (entry->message != message)
                continue;
            if (message != WM_COMMAND || (entry->id == id && entry->notifyCode == notifyCode))
                return entry;
        }
    }
    return nullptr;
}

LRESULT CCmdTarget::Invoke(const MessageMapEntry& entry, WPARAM wParam, LPARAM lParam)
{
    if (const auto* handler = std::get_if<VoidHandler>(&entry.handler)) {
        (this->**handler)();
        return 0;
    }
    if (const auto* handler = std::get_if<UintLparamHandler>(&entry.handler)) {
        (this->**handler)(static_cast<UINT>(wParam), lParam);
        return 0;
    }
    if (const auto* handler = std::get_if<CursorHandler>(&entry.handler))
        return reinterpret_cast<LRESULT>((this->**handler)());
    return 0;
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT notifyCode)
{
    const MessageMapEntry* entry = FindEntry(WM_COMMAND, notifyCode, id);
    if (entry == nullptr)
        return false;
    Invoke(*entry, 0, 0);
    return true;
}
