#pragma once

// Memory inside another process, for the common-control messages whose
// arguments are pointers: the system does not copy those across processes,
// so the structure and its text buffer must live where the control can read
// and write them.

#include <windows.h>

#include <cstddef>
#include <string>

namespace ludaro::gui {

class RemoteBuffer {
 public:
  RemoteBuffer(HWND owner, std::size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  // The address of `offset` bytes into the buffer, as the other process sees it.
  LPARAM Address(std::size_t offset = 0) const;
  void Write(std::size_t offset, const void* data, std::size_t size);
  void Read(std::size_t offset, void* data, std::size_t size) const;

 private:
  void Require(std::size_t offset, std::size_t size) const;

  HANDLE process_ = nullptr;
  void* base_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace ludaro::gui
