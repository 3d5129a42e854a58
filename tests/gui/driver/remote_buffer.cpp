#include "tests/gui/driver/remote_buffer.h"

#include "tests/gui/driver/driver_error.h"

namespace ludaro::gui {

RemoteBuffer::RemoteBuffer(HWND owner, std::size_t size) : size_(size) {
  DWORD processId = 0;
  GetWindowThreadProcessId(owner, &processId);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process_) throw DriverError("cannot open process " + std::to_string(processId) + " to reach its controls");
  base_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!base_) {
    CloseHandle(process_);
    throw DriverError("cannot allocate " + std::to_string(size) + " bytes in process " + std::to_string(processId));
  }
}

RemoteBuffer::~RemoteBuffer() {
  VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  CloseHandle(process_);
}

LPARAM RemoteBuffer::Address(std::size_t offset) const {
  Require(offset, 0);
  return reinterpret_cast<LPARAM>(static_cast<char*>(base_) + offset);
}

void RemoteBuffer::Write(std::size_t offset, const void* data, std::size_t size) {
  Require(offset, size);
  SIZE_T written = 0;
  if (!WriteProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &written) || written != size)
    throw DriverError("cannot write into the other process");
}

void RemoteBuffer::Read(std::size_t offset, void* data, std::size_t size) const {
  Require(offset, size);
  SIZE_T read = 0;
  if (!ReadProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &read) || read != size)
    throw DriverError("cannot read from the other process");
}

void RemoteBuffer::Require(std::size_t offset, std::size_t size) const {
  if (offset > size_ || size > size_ - offset) throw DriverError("remote buffer access out of range");
}

}  // namespace ludaro::gui
