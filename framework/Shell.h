// Owners of the memory the shell hands out: shell item identifier lists
// (ILFree) and other CoTaskMem blocks (CoTaskMemFree), so that no path of a
// window forgets to free one.
#pragma once

#include "platform/win32/WinApi.h"

#include <shlobj.h>

#include "platform/win32/Handles.h"

namespace vm {

// A block the caller frees with CoTaskMemFree (SHGetSpecialFolderLocation,
// SHGetKnownFolderPath, IShellFolder::ParseDisplayName).
template <class Pointer>
struct CoTaskMemTraits {
    using Type = Pointer;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { CoTaskMemFree(const_cast<void*>(static_cast<const void*>(p))); }
};
template <class Pointer>
using CoTaskMemPtr = win32::Unique<CoTaskMemTraits<Pointer>>;

// An absolute item identifier list freed with ILFree (ILCreateFromPathW docs).
struct ItemIdListTraits {
    using Type = PIDLIST_ABSOLUTE;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { ILFree(p); }
};
using ItemIdList = win32::Unique<ItemIdListTraits>;

}  // namespace vm
