#include "devices/serial_port_win.h"

#include <algorithm>
#include <string>

namespace kv {
namespace {

std::atomic<WPARAM> g_nextToken{1};

void CloseEvent(HANDLE& h) {
  if (h) CloseHandle(h);
  h = nullptr;
}

HANDLE OpenComm(const std::string& name, DWORD flags) {
  std::string path = "\\\\.\\" + name;
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Finishes an overlapped operation within `waitMs`; the byte count, or -1 when it failed.
int Complete(HANDLE port, OVERLAPPED& ov, BOOL started, DWORD waitMs) {
  DWORD done = 0;
  if (!started) {
    if (GetLastError() != ERROR_IO_PENDING) return -1;
    if (WaitForSingleObject(ov.hEvent, waitMs) != WAIT_OBJECT_0) CancelIoEx(port, &ov);
  }
  if (!GetOverlappedResult(port, &ov, &done, TRUE)) {
    return GetLastError() == ERROR_OPERATION_ABORTED ? 0 : -1;
  }
  return static_cast<int>(done);
}

}  // namespace

std::unique_ptr<SerialPort> SerialPort::Open(const std::string& name, const SerialSettings& settings, DWORD* error) {
  std::unique_ptr<SerialPort> p(new SerialPort());
  p->name_ = name;
  auto fail = [error](DWORD code) {
    if (error) *error = code;
    return nullptr;
  };
  p->readDone_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  p->writeDone_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  p->drained_ = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  p->stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!p->readDone_ || !p->writeDone_ || !p->drained_ || !p->stop_) return fail(GetLastError());
  p->port_ = OpenComm(name, FILE_FLAG_OVERLAPPED);
  if (p->port_ == INVALID_HANDLE_VALUE) return fail(GetLastError());

  if (!SetCommMask(p->port_, EV_RXCHAR) || !SetupComm(p->port_, settings.queueBytes, settings.queueBytes))
    return fail(GetLastError());
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;   // reads return at once with what is queued
  timeouts.WriteTotalTimeoutConstant = settings.writeTimeoutMs;
  if (!SetCommTimeouts(p->port_, &timeouts)) return fail(GetLastError());

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(p->port_, &dcb)) return fail(GetLastError());
  if (settings.baudRate) dcb.BaudRate = settings.baudRate;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = TRUE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.XonLim = 100;
  dcb.XoffLim = 100;
  dcb.EofChar = 0;
  if (!SetCommState(p->port_, &dcb)) return fail(GetLastError());
  p->token_ = g_nextToken++;
  return p;
}

SerialPort::~SerialPort() {
  StopReader();
  if (port_ != INVALID_HANDLE_VALUE) {
    SetDtr(false);
    CloseHandle(port_);
  }
  CloseEvent(wait_.hEvent);
  CloseEvent(readDone_);
  CloseEvent(writeDone_);
  CloseEvent(drained_);
  CloseEvent(stop_);
}

bool SerialPort::StartReader(HWND owner, UINT message) {
  if (thread_) return true;
  owner_ = owner;
  message_ = message;
  // The reader's own event for its waits, made here so a failure is told on this thread.
  wait_ = OVERLAPPED{};
  wait_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!wait_.hEvent) return false;
  running_ = true;
  ResetEvent(stop_);
  SetEvent(drained_);
  DWORD id = 0;
  thread_ = CreateThread(nullptr, 0, ReaderMain, this, 0, &id);
  if (!thread_) {
    running_ = false;
    return false;
  }
  SetThreadPriority(thread_, THREAD_PRIORITY_BELOW_NORMAL);
  return true;
}

void SerialPort::StopReader() {
  if (!thread_) return;
  running_ = false;
  SetEvent(stop_);
  // A cleared mask ends a pending wait on a real port; the stop event ends every other wait.
  SetCommMask(port_, 0);
  if (WaitForSingleObject(thread_, 5000) != WAIT_OBJECT_0) {
    // The wait would not end: closing the port below cancels it. The thread only touches the
    // port handle and the events, which stay until this object goes.
    CancelIoEx(port_, &wait_);
    WaitForSingleObject(thread_, 2000);
  }
  CloseHandle(thread_);
  thread_ = nullptr;
}

void SerialPort::Drained() { SetEvent(drained_); }

DWORD WINAPI SerialPort::ReaderMain(LPVOID self) {
  static_cast<SerialPort*>(self)->Reader();
  return 0;
}

// A wait that failed (aborted by another operation on the port, or refused by a pty) is tried
// again after a pause while the port still answers; a port that no longer does is lost.
bool SerialPort::Retry(bool& lost) {
  if (!running_) return false;
  if (Queued() < 0) {
    lost = true;
    return false;
  }
  return WaitForSingleObject(stop_, 50) != WAIT_OBJECT_0;
}

void SerialPort::Reader() {
  SetCommMask(port_, EV_RXCHAR);
  bool lost = false;
  while (running_) {
    DWORD mask = 0, done = 0;
    ResetEvent(wait_.hEvent);
    if (!WaitCommEvent(port_, &mask, &wait_)) {
      if (GetLastError() != ERROR_IO_PENDING) {
        if (Retry(lost)) continue;
        break;
      }
      HANDLE waits[2] = {wait_.hEvent, stop_};
      if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        CancelIoEx(port_, &wait_);
        if (WaitForSingleObject(wait_.hEvent, 1000) == WAIT_OBJECT_0) GetOverlappedResult(port_, &wait_, &done, FALSE);
        break;
      }
      if (!GetOverlappedResult(port_, &wait_, &done, FALSE)) {
        if (Retry(lost)) continue;
        break;
      }
    }
    if (!running_) break;
    if (!(mask & EV_RXCHAR)) {
      // A pty can end the wait with no event: the queue says whether characters came.
      int queued = Queued();
      if (queued < 0) {
        lost = true;
        break;
      }
      if (queued == 0) {
        if (WaitForSingleObject(stop_, 50) == WAIT_OBJECT_0) break;
        continue;
      }
    }
    // One notification at a time: the owner signals once it has read the queue.
    HANDLE waits[2] = {drained_, stop_};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) break;
    ResetEvent(drained_);
    PostMessageA(owner_, message_, token_, kCommReceived);
  }
  if (lost) PostMessageA(owner_, message_, token_, kCommLost);
}

int SerialPort::Read(char* buffer, int size, DWORD waitMs) {
  // Only what is queued is asked for, so the read completes at once: a read of more than is
  // there stays pending on a pty (Wine) whatever the time-outs say, and cancelling it there
  // also aborts the reader's wait.
  int queued = Queued();
  if (queued <= 0) return queued;
  size = std::min(size, queued);
  OVERLAPPED ov{};
  ov.hEvent = readDone_;
  ResetEvent(readDone_);
  DWORD got = 0;
  BOOL ok = ReadFile(port_, buffer, static_cast<DWORD>(size), &got, &ov);
  return Complete(port_, ov, ok, waitMs);
}

bool SerialPort::Write(std::string_view bytes, DWORD waitMs) {
  OVERLAPPED ov{};
  ov.hEvent = writeDone_;
  ResetEvent(writeDone_);
  DWORD sent = 0;
  BOOL ok = WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &sent, &ov);
  return Complete(port_, ov, ok, waitMs) > 0;
}

void SerialPort::SetDtr(bool on) {
  EscapeCommFunction(port_, on ? SETDTR : CLRDTR);   // fails on a pty, which has no such line
}

int SerialPort::Queued() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(port_, &errors, &status)) return -1;
  return static_cast<int>(status.cbInQue);
}

bool SerialPort::LooksLikeModem(int number) {
  HANDLE h = OpenComm("COM" + std::to_string(number), 0);
  if (h == INVALID_HANDLE_VALUE) return false;
  COMMPROP props{};
  DWORD status = 0;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  bool listed = false;
  if (GetCommProperties(h, &props)) {
    if (props.dwProvSubType == PST_MODEM) listed = true;
    else if (props.dwProvSubType == PST_RS232) listed = GetCommModemStatus(h, &status) != 0;
    // A pty has no modem lines to read (and may report no subtype): a port whose state reads
    // is enough there.
    if (!listed && (props.dwProvSubType == PST_RS232 || props.dwProvSubType == PST_UNSPECIFIED))
      listed = GetCommState(h, &dcb) != 0;
  }
  CloseHandle(h);
  return listed;
}

}  // namespace kv
