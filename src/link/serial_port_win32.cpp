#include <windows.h>

#include <cstdint>

#include "link/port_timings.hpp"
#include "link/serial_port.hpp"
#include "link/windows_text.hpp"

namespace rcp::link {

namespace {

HANDLE handleOf(std::intptr_t line) {
  return reinterpret_cast<HANDLE>(line);
}

bool configureLine(HANDLE handle) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return false;
  dcb.BaudRate = CBR_9600;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fAbortOnError = FALSE;
  if (!SetCommState(handle, &dcb)) return false;
  // The line's time-outs one to one: a read of n bytes ends 20 + 20 x n ms after it starts at the
  // latest, and once 20 ms pass between two bytes; a write of n bytes may take 20 + 20 x n ms.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = static_cast<DWORD>(PortTimings::kByteGap.count());
  timeouts.ReadTotalTimeoutMultiplier = static_cast<DWORD>(PortTimings::kReadPerByte.count());
  timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(PortTimings::kReadConstant.count());
  timeouts.WriteTotalTimeoutMultiplier = static_cast<DWORD>(PortTimings::kWritePerByte.count());
  timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(PortTimings::kWriteConstant.count());
  return SetCommTimeouts(handle, &timeouts) != 0;
}

}  // namespace

SerialPort::~SerialPort() {
  close();
}

bool SerialPort::open(const std::string& device) {
  close();
  // No sharing: a COM port another program has open does not open (ERROR_ACCESS_DENIED).
  const HANDLE handle = CreateFileW(deviceFileOf(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (!configureLine(handle)) {
    CloseHandle(handle);
    return false;
  }
  line_ = reinterpret_cast<std::intptr_t>(handle);
  openNote_.clear();
  // Nothing of ours is queued yet, so both sides can be emptied.
  PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
  return true;
}

void SerialPort::close() {
  if (line_ == kNoLine) return;
  // What was handed over still leaves before the line is let go.
  FlushFileBuffers(handleOf(line_));
  CloseHandle(handleOf(line_));
  line_ = kNoLine;
}

void SerialPort::purgeBoth() {
  // Requests already handed over are never taken back: only what came in is dropped.
  purgeReceive();
}

void SerialPort::purgeReceive() {
  if (line_ != kNoLine) PurgeComm(handleOf(line_), PURGE_RXCLEAR);
}

bool SerialPort::write(std::span<const std::uint8_t> bytes) {
  if (line_ == kNoLine) return false;
  DWORD sent = 0;
  const DWORD size = static_cast<DWORD>(bytes.size());
  return WriteFile(handleOf(line_), bytes.data(), size, &sent, nullptr) && sent == size;
}

std::size_t SerialPort::read(std::span<std::uint8_t> buffer) {
  if (line_ == kNoLine) return 0;
  DWORD got = 0;
  if (!ReadFile(handleOf(line_), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
    // A line that fails (an adaptor pulled out) still lasts the read's time-out, as a silent one.
    Sleep(static_cast<DWORD>(PortTimings::readTimeout(buffer.size()).count()));
    return 0;
  }
  return got;
}

}  // namespace rcp::link
