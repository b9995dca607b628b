// Message maps: each class lists, in one static table, the messages it
// handles and the member function that handles each. A table names the table
// of its base class; a lookup walks from the most derived class to the base,
// so a class lists only what it adds.
//
//     // In the class:  DECLARE_MESSAGE_MAP()
//     BEGIN_MESSAGE_MAP(CMyDialog, CDialog)
//         ON_WM_PAINT()                              // void OnPaint()
//         ON_WM_SYSCOMMAND()                         // void OnSysCommand(UINT nID, LPARAM lParam)
//         ON_WM_QUERYDRAGICON()                      // HCURSOR OnQueryDragIcon()
//         ON_BN_CLICKED(IDC_GO, &CMyDialog::OnGo)    // void OnGo()
//         ON_CBN_SELCHANGE(IDC_LIST, &CMyDialog::OnPick)
//         ON_CBN_EDITCHANGE(IDC_LIST, &CMyDialog::OnType)
//         ON_COMMAND(ID_HELP, &CMyApp::OnHelp)       // void OnHelp()
//     END_MESSAGE_MAP()
//
// A handler with the wrong signature does not compile.
#pragma once

#include <windows.h>

#include <type_traits>
#include <variant>

class CCmdTarget;

// A handler is a member of the class that owns the map, held as a member of
// CCmdTarget (a derived class's member converts to its base's without a cast
// that could change its meaning) in one alternative per signature. The
// alternative held is the signature tag: a handler is only ever called
// through the type it was declared with.
using VoidHandler = void (CCmdTarget::*)();                    // void Handler()
using UintLparamHandler = void (CCmdTarget::*)(UINT, LPARAM);  // void Handler(UINT, LPARAM)
using CursorHandler = HCURSOR (CCmdTarget::*)();               // HCURSOR Handler()
using Handler = std::variant<std::monostate, VoidHandler, UintLparamHandler, CursorHandler>;

struct MessageMapEntry {
    UINT message = 0;
    UINT notifyCode = 0;  // WM_COMMAND only: BN_CLICKED, CBN_SELCHANGE, ...
    UINT id = 0;          // WM_COMMAND only: the control or command identifier
    Handler handler;      // empty (monostate) in the entry that ends a table
};

struct MessageMap {
    const MessageMap* (*getBaseMap)();  // null for the root of the hierarchy
    const MessageMapEntry* entries;     // ends with an entry without a handler
};

// Anything that has a message map: windows and the application.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler this object's map holds for the command `id` with
    // `notifyCode` (a WM_COMMAND). Returns false when there is none.
    bool OnCmdMsg(UINT id, UINT notifyCode);

protected:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = default;
    CCmdTarget& operator=(const CCmdTarget&) = default;

    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

    // The first entry for `message` (for WM_COMMAND: with `id` and
    // `notifyCode`) from the most derived map on, or null.
    const MessageMapEntry* FindEntry(UINT message, UINT notifyCode, UINT id) const;

    // Calls the entry's handler; returns what a handler that returns
    // something returned, otherwise 0.
    LRESULT Invoke(const MessageMapEntry& entry, WPARAM wParam, LPARAM lParam);
};

// The table entries that the ON_ macros make. The handler's real type is
// checked here, at compile time, by overload.
namespace MessageMapEntries {

template <class Base, class T, class Member>
MessageMapEntry MakeAs(UINT message, UINT notifyCode, UINT id, Member T::*handler)
{
    static_assert(std::is_base_of_v<CCmdTarget, T>, "handlers belong to a CCmdTarget");
    return {message, notifyCode, id, Handler(std::in_place_type<Base>, static_cast<Base>(handler))};
}

template <class T>
MessageMapEntry Make(UINT message, UINT notifyCode, UINT id, void (T::*handler)())
{
    return MakeAs<VoidHandler>(message, notifyCode, id, handler);
}

template <class T>
MessageMapEntry Make(UINT message, UINT notifyCode, UINT id, void (T::*handler)(UINT, LPARAM))
{
    return MakeAs<UintLparamHandler>(message, notifyCode, id, handler);
}

template <class T>
MessageMapEntry Make(UINT message, UINT notifyCode, UINT id, HCURSOR (T::*handler)())
{
    return MakeAs<CursorHandler>(message, notifyCode, id, handler);
}

}  // namespace MessageMapEntries

// Declares a class's map; place it at the end of the class.
#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const MessageMap* GetThisMessageMap(); \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                             \
    const MessageMap* theClass::GetMessageMap() const                                                      \
    {                                                                                                      \
        return GetThisMessageMap();                                                                        \
    }                                                                                                      \
    const MessageMap* theClass::GetThisMessageMap()                                                        \
    {                                                                                                      \
        using ThisClass = theClass;                                                                        \
        using TheBaseClass = baseClass;                                                                    \
        static_assert(std::is_base_of_v<TheBaseClass, ThisClass>, "a message map chains to a base class"); \
        static const MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                      \
    MessageMapEntry {}                                                         \
    }                                                                          \
    ;                                                                          \
    static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                               \
    }

// Window messages; the handler's name is fixed, as the comment above shows.
#define ON_WM_SYSCOMMAND() MessageMapEntries::Make(WM_SYSCOMMAND, 0, 0, &ThisClass::OnSysCommand),
#define ON_WM_PAINT() MessageMapEntries::Make(WM_PAINT, 0, 0, &ThisClass::OnPaint),
#define ON_WM_QUERYDRAGICON() MessageMapEntries::Make(WM_QUERYDRAGICON, 0, 0, &ThisClass::OnQueryDragIcon),

// WM_COMMAND from a control or a menu: notification code and identifier.
// ON_COMMAND is code 0: a menu item, or a button's click.
#define ON_COMMAND(id, handler) MessageMapEntries::Make(WM_COMMAND, 0, id, handler),
#define ON_BN_CLICKED(id, handler) MessageMapEntries::Make(WM_COMMAND, BN_CLICKED, id, handler),
#define ON_CBN_SELCHANGE(id, handler) MessageMapEntries::Make(WM_COMMAND, CBN_SELCHANGE, id, handler),
#define ON_CBN_EDITCHANGE(id, handler) MessageMapEntries::Make(WM_COMMAND, CBN_EDITCHANGE, id, handler),
