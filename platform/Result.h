// Results of platform calls travel as values: a Windows error code, and on
// success a value. Nothing throws across the seam.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

namespace vm {

// Windows error codes that callers of the seam see (winerror.h values).
namespace err {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kPathNotFound = 3;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kInvalidHandle = 6;
inline constexpr uint32_t kNotEnoughMemory = 8;
inline constexpr uint32_t kInvalidData = 13;
inline constexpr uint32_t kNoMoreFiles = 18;
inline constexpr uint32_t kNotReady = 21;
inline constexpr uint32_t kNotSupported = 50;
inline constexpr uint32_t kInvalidParameter = 87;
inline constexpr uint32_t kCallNotImplemented = 120;
inline constexpr uint32_t kInsufficientBuffer = 122;
inline constexpr uint32_t kInvalidName = 123;
inline constexpr uint32_t kCancelled = 1223;  // ERROR_CANCELLED
inline constexpr uint32_t kDirectory = 267;   // ERROR_DIRECTORY: the name is not a directory
inline constexpr uint32_t kNotAllAssigned = 1300;
inline constexpr uint32_t kInvalidOwner = 1307;
inline constexpr uint32_t kNoSuchPrivilege = 1313;
inline constexpr uint32_t kNoneMapped = 1332;
inline constexpr uint32_t kInvalidAcl = 1336;
inline constexpr uint32_t kInvalidSid = 1337;
inline constexpr uint32_t kInvalidSecurityDescriptor = 1338;
inline constexpr uint32_t kPrivilegeNotHeld = 1314;
}  // namespace err

// Outcome of a call without a value.
struct Status {
    uint32_t error = err::kSuccess;

    static Status Ok() { return {}; }
    static Status Fail(uint32_t code) { return {code}; }
    bool ok() const { return error == err::kSuccess; }
    explicit operator bool() const { return ok(); }
};

// Outcome of a call with a value. The value is meaningful only when ok().
template <class T>
class Result {
  public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
    static Result Fail(uint32_t code) { return Result(code, Tag{}); }

    bool ok() const { return error_ == err::kSuccess; }
    explicit operator bool() const { return ok(); }
    uint32_t error() const { return error_; }
    Status status() const { return {error_}; }

    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    T& operator*() & { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }

  private:
    struct Tag {};
    Result(uint32_t code, Tag) : error_(code == err::kSuccess ? err::kInvalidParameter : code) {}

    std::optional<T> value_;
    uint32_t error_ = err::kSuccess;
};

}  // namespace vm
