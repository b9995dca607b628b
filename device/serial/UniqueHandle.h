// Owners for Win32 handles and registry keys. A HANDLE is "none" both as NULL
// and as INVALID_HANDLE_VALUE: CreateFile reports failure with the one,
// CreateProcess and most other calls with the other.
#pragma once

#include "UniqueResource.h"

#include <windows.h>

struct HandleTraits {
    using Value = HANDLE;
    static Value None() { return nullptr; }
    static bool IsValid(Value handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(Value handle) { ::CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<HandleTraits>;

struct RegistryKeyTraits {
    using Value = HKEY;
    static Value None() { return nullptr; }
    static bool IsValid(Value key) { return key != nullptr; }
    static void Close(Value key) { ::RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;
