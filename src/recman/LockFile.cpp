#include "recman/LockFile.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace duv::recman {

namespace {

constexpr off_t kPageSize = 4096;
constexpr off_t kRecordLockBase = off_t{1} << 32;
constexpr std::size_t kCounterOffset = 64;

bool SetLock(int descriptor, short type, off_t start, bool wait) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = 1;
  lock.l_pid = 0;  // required for open-file-description locks
  for (;;) {
    if (::fcntl(descriptor, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0) return true;
    if (errno != EINTR) return false;
  }
}

std::atomic_ref<std::uint64_t> Counter(void* page) {
  return std::atomic_ref<std::uint64_t>(
      *reinterpret_cast<std::uint64_t*>(static_cast<char*>(page) + kCounterOffset));
}

}  // namespace

std::unique_ptr<LockFile> LockFile::Open(const std::string& dataFilePath) {
  const std::string path = dataFilePath + ".lck";
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) return nullptr;
  struct stat info {};
  if (::fstat(descriptor, &info) != 0 ||
      (info.st_size < kPageSize && ::ftruncate(descriptor, kPageSize) != 0)) {
    ::close(descriptor);
    return nullptr;
  }
  void* page = ::mmap(nullptr, kPageSize, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
  if (page == MAP_FAILED) {
    ::close(descriptor);
    return nullptr;
  }
  return std::unique_ptr<LockFile>(new LockFile(descriptor, page));
}

LockFile::~LockFile() {
  ::munmap(page_, kPageSize);
  ::close(descriptor_);  // drops every lock of this open
}

bool LockFile::LockForOpen(bool exclusive) {
  return SetLock(descriptor_, exclusive ? F_WRLCK : F_RDLCK, 0, false);
}

LockFile::RecordLock LockFile::LockRecord(std::uint32_t position, bool wait) {
  if (position == lockedRecord_) return RecordLock::kLocked;
  if (!SetLock(descriptor_, F_WRLCK, kRecordLockBase + position, wait)) {
    return (errno == EAGAIN || errno == EACCES) ? RecordLock::kInUse : RecordLock::kFailed;
  }
  UnlockRecord();
  lockedRecord_ = position;
  return RecordLock::kLocked;
}

void LockFile::UnlockRecord() {
  if (lockedRecord_ == 0) return;
  SetLock(descriptor_, F_UNLCK, kRecordLockBase + lockedRecord_, false);
  lockedRecord_ = 0;
}

bool LockFile::RecordInUseByOthers(std::uint32_t position) {
  if (position == lockedRecord_) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kRecordLockBase + position;
  probe.l_len = 1;
  if (::fcntl(descriptor_, F_OFD_GETLK, &probe) != 0) return false;
  return probe.l_type != F_UNLCK;
}

std::uint64_t LockFile::ChangeCount() const {
  return Counter(page_).load(std::memory_order_acquire);
}

void LockFile::NoteChange() { Counter(page_).fetch_add(1, std::memory_order_acq_rel); }

}  // namespace duv::recman
