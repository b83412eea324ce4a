#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace tarvik::base {

// Why a file operation failed: the file it concerned (UTF-8) and the system's reason.
struct FileError {
    std::string path;
    std::error_code reason;

    // "a.sim: No such file or directory"; the reason alone when no file is named.
    std::string message() const;
};

// The failures that the system has no error number for.
enum class FileFault {
    NotRegularFile = 1,   // a named pipe, a device: reading would block, a rename would replace it
    ReplacedWhileWritten, // another program put a new file in its place during the write
    NoFreeName,           // every name tried for a new file is taken
};
std::error_code MakeFileFault(FileFault fault);

// The value of a file operation, or why there is none.
template <typename T>
class [[nodiscard]] FileResult {
public:
    FileResult(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    FileResult(FileError error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok() (else std::bad_variant_access).
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Why it failed; only when !ok().
    const FileError& error() const { return std::get<1>(state_); }

private:
    std::variant<T, FileError> state_;
};

// The outcome of a file operation that gives nothing back.
template <>
class [[nodiscard]] FileResult<void> {
public:
    FileResult() = default;
    FileResult(FileError error) : error_(std::move(error)) {}

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const FileError& error() const { return *error_; }

private:
    std::optional<FileError> error_;
};

} // namespace tarvik::base
