#pragma once
// One move-only owner for the handles the program must release itself (the kernel handles,
// brushes and fonts below), so that each is released exactly once, when its owner goes. The
// window class's icons belong to the system; the screen's device context is released where it
// is taken.

#include <windows.h>

#include <utility>

template <typename Handle, auto Release>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_{handle} {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_{std::exchange(other.handle_, Handle{})} {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }

  void reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Release(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

// Process and thread handles; INVALID_HANDLE_VALUE is never stored here (CreateProcessW
// returns null handles on failure).
using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;
using UniqueBrush = UniqueHandle<HBRUSH, &::DeleteObject>;
using UniqueFont = UniqueHandle<HFONT, &::DeleteObject>;
