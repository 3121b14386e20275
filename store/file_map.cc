#include "store/file_map.h"

#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

namespace tallybook::store {

namespace {

constexpr int64_t kMinReserve = int64_t{16} << 20;

// The copy under way on this thread, if any: where a SIGBUS returns to.
// volatile, and fenced below, so that the compiler keeps the stores around
// the copy although nothing it can see reads them.
thread_local sigjmp_buf* volatile t_copy_guard = nullptr;
struct sigaction g_previous_bus_action;

void OnBusError(int signal, siginfo_t* info, void* context) {
  if (sigjmp_buf* guard = t_copy_guard) {
    t_copy_guard = nullptr;
    siglongjmp(*guard, 1);
  }
  // Not a fault of a guarded copy: hand it on.
  const struct sigaction& previous = g_previous_bus_action;
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction != nullptr) {
      previous.sa_sigaction(signal, info, context);
      return;
    }
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(signal);
    return;
  }
  // The default action: put it back and let the faulting access run again.
  ::sigaction(SIGBUS, &previous, nullptr);
}

void InstallBusHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = &OnBusError;
    // SA_NODEFER: the signal is not blocked while the handler runs, so
    // leaving it by siglongjmp needs no signal mask restored, and sigsetjmp
    // need not save one (which would cost a system call per copy).
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previous_bus_action);
  });
}

// memcpy that returns false instead of dying when a mapped page faults.
bool GuardedCopy(void* to, const void* from, size_t n) {
  sigjmp_buf guard;
  sigjmp_buf* const outer = t_copy_guard;
  if (sigsetjmp(guard, 0) != 0) {
    t_copy_guard = outer;
    return false;
  }
  t_copy_guard = &guard;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(to, from, n);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  t_copy_guard = outer;
  return true;
}

size_t RoundToPages(int64_t bytes) {
  const int64_t page = ::sysconf(_SC_PAGESIZE) > 0 ? ::sysconf(_SC_PAGESIZE)
                                                   : 4096;
  return static_cast<size_t>((bytes + page - 1) / page * page);
}

}  // namespace

bool FileMap::Cover(int fd, bool writable, int64_t file_size, int64_t end) {
  if (base_ != nullptr && end <= static_cast<int64_t>(length_) &&
      (writable_ || !writable)) {
    return true;
  }
  if (refused_) return false;
  Unmap();
  InstallBusHandler();
  const int64_t wanted = std::max(end, file_size);
  const size_t length = RoundToPages(wanted + std::max(wanted, kMinReserve));
  void* p = ::mmap(nullptr, length, PROT_READ | (writable ? PROT_WRITE : 0),
                   MAP_SHARED, fd, 0);
  if (p == MAP_FAILED) {
    refused_ = true;
    return false;
  }
  base_ = static_cast<uint8_t*>(p);
  length_ = length;
  writable_ = writable;
  return true;
}

FileMap::Copy FileMap::Read(int fd, bool writable, int64_t file_size,
                            int64_t offset, void* out, size_t n) {
  const int64_t end = offset + static_cast<int64_t>(n);
  if (offset < 0 || end > file_size) return Copy::kUnmapped;
  if (n == 0) return Copy::kDone;
  if (!Cover(fd, writable, file_size, end)) return Copy::kUnmapped;
  return GuardedCopy(out, base_ + offset, n) ? Copy::kDone : Copy::kFaulted;
}

FileMap::Copy FileMap::Write(int fd, int64_t file_size, int64_t offset,
                             const void* in, size_t n) {
  const int64_t end = offset + static_cast<int64_t>(n);
  if (offset < 0 || end > file_size) return Copy::kUnmapped;
  if (n == 0) return Copy::kDone;
  if (!Cover(fd, true, file_size, end)) return Copy::kUnmapped;
  return GuardedCopy(base_ + offset, in, n) ? Copy::kDone : Copy::kFaulted;
}

void FileMap::Unmap() {
  if (base_ != nullptr) ::munmap(base_, length_);
  base_ = nullptr;
  length_ = 0;
  writable_ = false;
}

}  // namespace tallybook::store
