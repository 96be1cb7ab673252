#include "platform/text_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QByteArray>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>

namespace tonvirke {

namespace {

// Opens without blocking on a FIFO or device, accepts only regular files, and takes the lock.
int OpenLocked(const QByteArray& path, int flags, mode_t mode = 0644) {
  const int fd = ::open(path.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool WriteAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    left -= n;
  }
  return true;
}

class ReadFile final : public TextFile {
 public:
  ReadFile(int fd, QByteArray bytes) : fd_(fd), bytes_(std::move(bytes)) {}
  ~ReadFile() override { Close(); }

  bool AtEnd() override { return pos_ >= bytes_.size(); }

  QString ReadLine() override {
    const char* data = bytes_.constData();
    const qsizetype size = bytes_.size();
    const qsizetype start = pos_;
    const char* end = std::find_if(data + start, data + size,
                                   [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    pos_ = end - data;
    // A byte-order mark is kept as a character: it is not part of the file format.
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                      QStringConverter::Flag::Stateless);
    const QString line = decode(QByteArrayView(data + start, pos_ - start));
    if (pos_ < size) {
      const char lineEnd = data[pos_++];
      if (lineEnd == '\r' && pos_ < size && data[pos_] == '\n') ++pos_;
    }
    return line;
  }

  void Write(const QString&) override {}
  void WriteLine(const QString&) override {}

  bool Close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return true;
  }

 private:
  int fd_;
  QByteArray bytes_;
  qsizetype pos_ = 0;
};

// Collects the text and hands it to the file system at Close.
class WriteFile : public TextFile {
 public:
  bool AtEnd() override { return true; }
  QString ReadLine() override { return {}; }
  void Write(const QString& text) override { pending_ += text.toUtf8(); }
  void WriteLine(const QString& text) override {
    Write(text);
    pending_ += "\r\n";
  }

 protected:
  QByteArray pending_;
};

class AppendFile final : public WriteFile {
 public:
  explicit AppendFile(int fd) : fd_(fd) {}
  ~AppendFile() override { Close(); }
  bool Close() override {
    if (fd_ < 0) return ok_;
    ok_ = WriteAll(fd_, pending_) && ::fsync(fd_) == 0;
    ok_ = (::close(fd_) == 0) && ok_;
    fd_ = -1;
    return ok_;
  }

 private:
  int fd_;
  bool ok_ = false;
};

class ReplaceFile final : public WriteFile {
 public:
  ReplaceFile(int lockFd, QByteArray target) : lockFd_(lockFd), target_(std::move(target)) {}
  ~ReplaceFile() override { Close(); }
  bool Close() override {
    if (closed_) return ok_;
    closed_ = true;
    QByteArray temp = target_ + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd >= 0) {
      ::fchmod(fd, 0644);
      ok_ = WriteAll(fd, pending_) && ::fsync(fd) == 0;
      ok_ = (::close(fd) == 0) && ok_;
      ok_ = ok_ && ::rename(temp.constData(), target_.constData()) == 0;
      if (!ok_) ::unlink(temp.constData());
    }
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
    return ok_;
  }

 private:
  int lockFd_;
  QByteArray target_;
  bool closed_ = false;
  bool ok_ = false;
};

}  // namespace

std::unique_ptr<TextFile> LocalTextFiles::OpenRead(const QString& name) {
  const int fd = OpenLocked(QFile::encodeName(name), O_RDONLY);
  if (fd < 0) return nullptr;
  QByteArray bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return nullptr;
    }
    if (n == 0) break;
    bytes.append(buffer, n);
  }
  return std::make_unique<ReadFile>(fd, std::move(bytes));
}

std::unique_ptr<TextFile> LocalTextFiles::Create(const QString& name) {
  const QByteArray path = QFile::encodeName(name);
  // Opening the existing file for writing refuses a read-only one, which must stay unchanged.
  const int fd = OpenLocked(path, O_WRONLY | O_CREAT);
  if (fd < 0) return nullptr;
  return std::make_unique<ReplaceFile>(fd, path);
}

std::unique_ptr<TextFile> LocalTextFiles::OpenAppend(const QString& name) {
  const int fd = OpenLocked(QFile::encodeName(name), O_WRONLY | O_CREAT | O_APPEND);
  if (fd < 0) return nullptr;
  return std::make_unique<AppendFile>(fd);
}

}  // namespace tonvirke
