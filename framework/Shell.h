// Owners of the memory the shell hands out: shell item identifier lists
// (ILFree) and other CoTaskMem blocks (CoTaskMemFree), so that no path of a
// window forgets to free one.
#pragma once

#include "platform/win32/WinApi.h"

#include <shlobj.h>

#include <utility>

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

// One reference to a COM interface, released once (IUnknown::Release).
template <class Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    void Reset() {
        if (pointer_ != nullptr)
            std::exchange(pointer_, nullptr)->Release();
    }
    // For out-parameters (CoCreateInstance, QueryInterface): releases what
    // is held, then lends the slot as void**.
    void** put_void() {
        Reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    Interface** put() {
        Reset();
        return &pointer_;
    }

  private:
    Interface* pointer_ = nullptr;
};

}  // namespace vm
