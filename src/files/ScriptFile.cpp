#include "files/ScriptFile.h"

#include "core/system/RuntimeError.h"
#include "core/text/Utf8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The write bits of the file's mode. WriteUser is left out: it says what the
// running user may do, and root may write anything.
constexpr QFileDevice::Permissions kAnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

[[noreturn]] void fail(int number, const QString& description) {
  throw RuntimeError(number, description.toStdString());
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// Read-only as the user means it: no write permission for us, or no write bit
// for anyone. The second half matters when running as root, whom the system
// lets write anything.
bool readOnly(const QFileInfo& info) { return !info.isWritable() || !(info.permissions() & kAnyWrite); }

// A folder that refuses new files. On Windows the read-only attribute of a
// folder only marks it as customised and does not stop writing into it, so
// there only the attempt to write tells.
bool folderReadOnly([[maybe_unused]] const QFileInfo& folder) {
#ifdef Q_OS_WIN
  return false;
#else
  return readOnly(folder);
#endif
}

// A write that stopped short: no room left, or some other device failure.
[[noreturn]] void failWrite(const QString& path, const QString& folder, qint64 needed, int savedErrno,
                            const QString& detail) {
  const QStorageInfo volume(folder);
  if (savedErrno == ENOSPC || (volume.isValid() && volume.bytesAvailable() < needed))
    fail(ErrorNumber::DiskFull,
         QStringLiteral("Disk full: there is no room left to write the file %1").arg(shown(path)));
  fail(ErrorNumber::DeviceIO,
       QStringLiteral("Device I/O error: the file %1 could not be written (%2)").arg(shown(path), detail));
}

// What a status names when that is something other than a regular file or a
// folder: "a named pipe", "a device", ... Empty for a regular file, a folder,
// or nothing at all. Checked before a file is opened, since opening a pipe
// with no writer waits for ever.
QString specialKind(const std::filesystem::file_status& status) {
  using std::filesystem::file_type;
  switch (status.type()) {
  case file_type::none:
  case file_type::not_found:
  case file_type::regular:
  case file_type::directory:
    return QString();
  case file_type::fifo:
    return QStringLiteral("a named pipe");
  case file_type::character:
    return QStringLiteral("a character device");
  case file_type::block:
    return QStringLiteral("a block device");
  case file_type::socket:
    return QStringLiteral("a socket");
  default:
    return QStringLiteral("a special file");
  }
}

// The status of what path names, after following links.
std::filesystem::file_status statusOf(const QString& path) {
  std::error_code error;
  return std::filesystem::status(ScriptFile::systemName(path), error);
}

void refuseSpecial(const QString& path, const std::filesystem::file_status& status) {
  const QString kind = specialKind(status);
  if (!kind.isEmpty())
    fail(ErrorNumber::PathFileAccess,
         QStringLiteral("Path/File access error: %1 is %2, not a regular file").arg(shown(path), kind));
}

// The few calls of the C runtime that reading needs, by their names on each
// system.
#ifdef Q_OS_WIN
int openToRead(const std::filesystem::path& name) { return ::_wopen(name.c_str(), _O_RDONLY | _O_BINARY); }
qint64 readSome(int fd, char* into, qint64 count) {
  return ::_read(fd, into, static_cast<unsigned>(std::min<qint64>(count, qint64(1) << 30)));
}
void closeFile(int fd) { ::_close(fd); }
qint64 regularSize(int fd) {
  struct _stat64 info;
  return ::_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG ? info.st_size : -1;
}
#else
int openToRead(const std::filesystem::path& name) { return ::open(name.c_str(), O_RDONLY | O_CLOEXEC); }
qint64 readSome(int fd, char* into, qint64 count) {
  return ::read(fd, into, static_cast<std::size_t>(count));
}
void closeFile(int fd) { ::close(fd); }
qint64 regularSize(int fd) {
  struct stat info;
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : -1;
}
#endif

QString systemError(int number) { return QString::fromLocal8Bit(std::strerror(number)); }

[[noreturn]] void failTooLarge(const QString& what, qint64 maxSize) {
  fail(ErrorNumber::DeviceIO,
       QStringLiteral("Device I/O error: %1 could not be read (it is larger than %2 MiB, "
                      "more than any briefing)")
           .arg(what)
           .arg(maxSize >> 20));
}

// Everything fd holds, which what names in messages. A regular file is read
// in one read of its length, refused before anything is allocated when that
// is over maxSize; anything else is read piece by piece until it ends or
// passes maxSize.
std::string readAll(int fd, const QString& what, qint64 maxSize) {
  const qint64 size = regularSize(fd);
  if (size > maxSize)
    failTooLarge(what, maxSize);
  constexpr qint64 kPiece = 64 * 1024;
  std::string data(static_cast<std::size_t>(std::max<qint64>(size, 0)), '\0');
  qint64 have = 0;
  while (size < 0 || have < size) {
    if (size < 0 && have == static_cast<qint64>(data.size()))
      data.resize(data.size() + kPiece);
    errno = 0;
    const qint64 got = readSome(fd, data.data() + have, static_cast<qint64>(data.size()) - have);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0 || (got == 0 && size >= 0))
      fail(ErrorNumber::DeviceIO,
           QStringLiteral("Device I/O error: %1 could not be read (%2)")
               .arg(what, got < 0 ? systemError(errno) : QStringLiteral("it ended early")));
    if (got == 0)
      break;
    have += got;
    if (have > maxSize)
      failTooLarge(what, maxSize);
  }
  data.resize(static_cast<std::size_t>(have));
  return data;
}

} // namespace

void ScriptFile::write(const QString& nativePath, const std::string& bytes) {
  const QString path = QDir::fromNativeSeparators(nativePath);
  if (path.isEmpty())
    fail(ErrorNumber::PathFileAccess, QStringLiteral("Path/File access error: no file name was given"));
#ifndef Q_OS_WIN
  // The file is written through Qt, which names files in UTF-8 only.
  if (QFile::encodeName(path) != localBytes(path))
    fail(ErrorNumber::PathFileAccess,
         QStringLiteral("Path/File access error: the file name %1 is not valid UTF-8").arg(shown(path)));
#endif

  const QFileInfo target(path);
  const QString folder = target.absolutePath();
  const QFileInfo folderInfo(folder);
  if (!folderInfo.exists() || !folderInfo.isDir())
    fail(ErrorNumber::PathNotFound,
         QStringLiteral("Path not found: the folder %1 does not exist").arg(shown(folder)));
  if (target.isDir())
    fail(ErrorNumber::PathFileAccess,
         QStringLiteral("Path/File access error: %1 is a folder, not a file").arg(shown(path)));
  // A pipe or device is left as it is, never replaced by a file.
  refuseSpecial(path, statusOf(path));
  // The file is replaced by renaming a new one over it, which the folder's
  // rights alone would allow: a read-only file must be refused here.
  if (target.exists() && readOnly(target))
    fail(ErrorNumber::PermissionDenied,
         QStringLiteral("Permission denied: the file %1 is read-only").arg(shown(path)));
  if (folderReadOnly(folderInfo))
    fail(ErrorNumber::PermissionDenied,
         QStringLiteral("Permission denied: the folder %1 is read-only").arg(shown(folder)));

  QSaveFile file(path);
  file.setDirectWriteFallback(false); // never write into the old file in place
  // Unbuffered, so that every write reaches the system at once and a full
  // disk fails the write itself, not a flush whose error nobody sees.
  errno = 0;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    const int savedErrno = errno;
    if (savedErrno == EACCES || savedErrno == EPERM || savedErrno == EROFS)
      fail(ErrorNumber::PermissionDenied,
           QStringLiteral("Permission denied: the file %1 cannot be written").arg(shown(path)));
    if (savedErrno == ENOSPC)
      failWrite(path, folder, static_cast<qint64>(bytes.size()), savedErrno, file.errorString());
    fail(ErrorNumber::PathFileAccess,
         QStringLiteral("Path/File access error: the file %1 cannot be opened (%2)")
             .arg(shown(path), file.errorString()));
  }
  const auto size = static_cast<qint64>(bytes.size());
  // Every step that can fail late is checked before the old file is replaced:
  // the write, the flush, the sync to the disk, and the size that arrived.
  // A failure throws away the new file and keeps the old one.
  const auto check = [&](bool ok) {
    if (ok)
      return;
    const int savedErrno = errno;
    const QString detail = file.errorString();
    file.cancelWriting();
    failWrite(path, folder, size, savedErrno, detail);
  };
  errno = 0;
  check(file.write(bytes.data(), size) == size);
  errno = 0;
  check(file.flush());
#ifndef Q_OS_WIN
  // On Windows the commit itself flushes the file to the disk.
  errno = 0;
  check(file.handle() >= 0 && ::fsync(file.handle()) == 0);
#endif
  errno = 0;
  check(file.size() == size);
  errno = 0;
  if (!file.commit()) {
    const int savedErrno = errno;
    failWrite(path, folder, size, savedErrno, file.errorString());
  }
}

std::string ScriptFile::read(const QString& nativePath, qint64 maxSize, Streams streams) {
  const QString path = QDir::fromNativeSeparators(nativePath);
  // The file is opened by the name the system knows it by, which need not be
  // one that Qt can spell.
  const std::filesystem::file_status status =
      path.isEmpty() ? std::filesystem::file_status(std::filesystem::file_type::not_found) : statusOf(path);
  using std::filesystem::file_type;
  if (status.type() == file_type::not_found || status.type() == file_type::none)
    fail(ErrorNumber::FileNotFound, QStringLiteral("File not found: %1").arg(shown(path)));
  if (status.type() == file_type::directory)
    fail(ErrorNumber::PathFileAccess,
         QStringLiteral("Path/File access error: %1 is a folder, not a file").arg(shown(path)));
  if (streams == Streams::Refuse)
    refuseSpecial(path, status);

  errno = 0;
  const int fd = openToRead(systemName(path));
  if (fd < 0) {
    const int savedErrno = errno;
    if (savedErrno == ENOENT)
      fail(ErrorNumber::FileNotFound, QStringLiteral("File not found: %1").arg(shown(path)));
    if (savedErrno == EACCES || savedErrno == EPERM)
      fail(ErrorNumber::PermissionDenied,
           QStringLiteral("Permission denied: the file %1 cannot be read").arg(shown(path)));
    fail(ErrorNumber::DeviceIO, QStringLiteral("Device I/O error: the file %1 cannot be opened (%2)")
                                    .arg(shown(path), systemError(savedErrno)));
  }
  struct Closer {
    int fd;
    ~Closer() { closeFile(fd); }
  } closer{fd};
  return readAll(fd, QStringLiteral("the file %1").arg(shown(path)), maxSize);
}

std::string ScriptFile::readStandardInput(qint64 maxSize) {
#ifdef Q_OS_WIN
  ::_setmode(0, _O_BINARY); // the bytes as they are, CR LF included
#endif
  return readAll(0, QStringLiteral("standard input"), maxSize);
}

std::filesystem::path ScriptFile::systemName(const QString& name) {
#ifdef Q_OS_WIN
  return std::filesystem::path(name.toStdWString());
#else
  return std::filesystem::path(localBytes(name).toStdString());
#endif
}

QString ScriptFile::fromLocalBytes(const QByteArray& bytes) {
  QString name;
  name.reserve(bytes.size());
  qsizetype run = 0; // where the valid UTF-8 not yet decoded starts
  for (qsizetype i = 0; i < bytes.size();) {
    if (const int length = Utf8::sequenceLength({bytes.constData(), static_cast<std::size_t>(bytes.size())},
                                                static_cast<std::size_t>(i));
        length > 0) {
      i += length;
      continue;
    }
    name += QString::fromUtf8(bytes.constData() + run, i - run);
    name += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i])));
    run = ++i;
  }
  name += QString::fromUtf8(bytes.constData() + run, bytes.size() - run);
  return name;
}

QByteArray ScriptFile::localBytes(const QString& name) {
  QByteArray bytes;
  qsizetype run = 0; // where the characters not yet encoded start
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t u = name[i].unicode();
    if (u >= 0xDC80 && u <= 0xDCFF && !(i > 0 && name[i - 1].isHighSurrogate())) {
      bytes += QStringView(name).mid(run, i - run).toUtf8();
      bytes += static_cast<char>(u - 0xDC00);
      run = i + 1;
    }
  }
  bytes += QStringView(name).mid(run).toUtf8();
  return bytes;
}
