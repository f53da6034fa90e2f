// Move-only owners of Win32 handles and memory blocks, one kind per release
// function, each with its invalid value spelled out. Releasing keeps the
// caller's last-error value, so that an error read after a failed call is
// still the call's own.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/win32/WinApi.h"

namespace vm::win32 {

template <class Traits>
class Unique {
  public:
    using Type = typename Traits::Type;

    Unique() = default;
    explicit Unique(Type value) : value_(value) {}
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    Type get() const { return value_; }
    bool valid() const { return value_ != Traits::Invalid(); }
    explicit operator bool() const { return valid(); }

    Type release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(Type value = Traits::Invalid()) {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) {
            DWORD lastError = GetLastError();
            Traits::Close(old);
            SetLastError(lastError);
        }
    }
    // For out-parameters: releases what is held, then lends the slot.
    Type* put() {
        reset();
        return &value_;
    }

  private:
    Type value_ = Traits::Invalid();
};

// Kernel object handles that are NULL when absent (tokens, processes).
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { CloseHandle(h); }
};
using UniqueHandle = Unique<KernelHandleTraits>;

// File handles, INVALID_HANDLE_VALUE when absent (CreateFileW).
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
using UniqueFile = Unique<FileHandleTraits>;

// FindFirstFileW handles, closed with FindClose.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { FindClose(h); }
};
using UniqueFind = Unique<FindHandleTraits>;

// Blocks the system allocates with LocalAlloc for the caller
// (GetNamedSecurityInfoW, SetEntriesInAclW, ConvertSidToStringSidW).
template <class Pointer>
struct LocalTraits {
    using Type = Pointer;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { LocalFree(reinterpret_cast<HLOCAL>(p)); }
};
template <class Pointer>
using UniqueLocal = Unique<LocalTraits<Pointer>>;

// Buffers of the network management functions (NetApiBufferFree).
template <class Pointer>
struct NetApiTraits {
    using Type = Pointer;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { NetApiBufferFree(p); }
};
template <class Pointer>
using UniqueNetApiBuffer = Unique<NetApiTraits<Pointer>>;

// A zero-filled block of the process heap, the buffer of the two-call
// pattern.
class HeapBlock {
  public:
    explicit HeapBlock(size_t size)
        : data_(size ? HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size) : nullptr),
          size_(data_ ? size : 0) {}
    HeapBlock(HeapBlock&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        if (this != &other) {
            Free();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    ~HeapBlock() { Free(); }

    void* get() const { return data_; }
    template <class T>
    T* as() const {
        return static_cast<T*>(data_);
    }
    size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

  private:
    void Free() {
        if (data_) {
            DWORD lastError = GetLastError();
            HeapFree(GetProcessHeap(), 0, data_);
            SetLastError(lastError);
        }
    }
    void* data_;
    size_t size_;
};

}  // namespace vm::win32
