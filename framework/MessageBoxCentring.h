// Message boxes follow the framework's placement rule (InitialPlacement.h)
// like its dialogs: while one of these objects lives, the first top-level
// dialog that the calling thread creates, the box that MessageBoxA makes, is
// watched through its set-up and centred over its owner when the set-up left
// its place open. A box that places itself keeps its place.
#pragma once

#include <windows.h>

class MessageBoxCentring {
public:
    MessageBoxCentring();
    ~MessageBoxCentring();

    MessageBoxCentring(const MessageBoxCentring&) = delete;
    MessageBoxCentring& operator=(const MessageBoxCentring&) = delete;

private:
    HHOOK m_hHook;
    // What a box shown around this one (whose owner's handler shows this
    // one) had noted; this one ends first.
    WNDPROC m_outerBoxProc;
    bool m_outerWatching;
};
