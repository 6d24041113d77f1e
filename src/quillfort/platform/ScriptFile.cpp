#include "platform/ScriptFile.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifndef Q_OS_WIN
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

// What the path names, after following links, when that is something other
// than a regular file or a folder: "a named pipe", "a device", ... Empty for a
// regular file, a folder, or nothing at all. Checked before a file is opened,
// since opening a pipe with no writer waits for ever.
QString specialKind(const QString& path) {
#ifdef Q_OS_WIN
  const std::filesystem::path name(path.toStdWString());
#else
  const std::filesystem::path name(QFile::encodeName(path).toStdString());
#endif
  std::error_code error;
  const auto status = std::filesystem::status(name, error);
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

void refuseSpecial(const QString& path) {
  const QString kind = specialKind(path);
  if (!kind.isEmpty())
    fail(ErrorNumber::PathFileAccess,
         QStringLiteral("Path/File access error: %1 is %2, not a regular file").arg(shown(path), kind));
}

} // namespace

void ScriptFile::write(const QString& nativePath, const std::string& bytes) {
  const QString path = QDir::fromNativeSeparators(nativePath);
  if (path.isEmpty())
    fail(ErrorNumber::PathFileAccess, QStringLiteral("Path/File access error: no file name was given"));

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
  refuseSpecial(path);
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

std::string ScriptFile::read(const QString& nativePath) {
  const QString path = QDir::fromNativeSeparators(nativePath);
  const QFileInfo info(path);
  if (path.isEmpty() || !info.exists())
    fail(ErrorNumber::FileNotFound, QStringLiteral("File not found: %1").arg(shown(path)));
  if (info.isDir())
    fail(ErrorNumber::PathFileAccess,
         QStringLiteral("Path/File access error: %1 is a folder, not a file").arg(shown(path)));
  refuseSpecial(path);

  QFile file(path);
  errno = 0;
  if (!file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly)) {
    const int savedErrno = errno;
    if (savedErrno == ENOENT)
      fail(ErrorNumber::FileNotFound, QStringLiteral("File not found: %1").arg(shown(path)));
    if (savedErrno == EACCES || savedErrno == EPERM || !info.isReadable())
      fail(ErrorNumber::PermissionDenied,
           QStringLiteral("Permission denied: the file %1 cannot be read").arg(shown(path)));
    fail(ErrorNumber::DeviceIO, QStringLiteral("Device I/O error: the file %1 cannot be opened (%2)")
                                    .arg(shown(path), file.errorString()));
  }
  const qint64 size = file.size();
  std::string data(static_cast<std::size_t>(size), '\0');
  const qint64 got = size > 0 ? file.read(data.data(), size) : 0;
  const QString detail = file.errorString();
  file.close();
  if (got != size)
    fail(ErrorNumber::DeviceIO,
         QStringLiteral("Device I/O error: the file %1 could not be read (%2)").arg(shown(path), detail));
  return data;
}
