#include "diskfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.device = static_cast<quint64>(st.st_dev);
    s.inode = static_cast<quint64>(st.st_ino);
    s.size = static_cast<qint64>(st.st_size);
    s.mtimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.ctimeNs = static_cast<qint64>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.mode = static_cast<quint32>(st.st_mode);
    s.uid = static_cast<quint32>(st.st_uid);
    s.gid = static_cast<quint32>(st.st_gid);
    return s;
}

InputFileStatus statusOfOpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return InputFileStatus::Missing;
    case ENXIO: // a socket, or a device without its driver
    case ENODEV:
        return InputFileStatus::NotRegular;
    default:
        return InputFileStatus::Unreadable;
    }
}

InputFileStatus checkStat(const struct stat& st, qint64 maxBytes) {
    if (!S_ISREG(st.st_mode)) return InputFileStatus::NotRegular;
    if (maxBytes >= 0 && st.st_size > maxBytes) return InputFileStatus::TooLarge;
    return InputFileStatus::Ok;
}

// Keeps errno of the failure that matters across the clean-up calls that follow it.
struct SavedErrno {
    int value;
    SavedErrno() : value(errno) {}
};

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool pwriteAll(int fd, const char* data, qsizetype size, qint64 offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, static_cast<size_t>(size), offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

bool hasWriteBits(mode_t mode) {
    return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

QByteArray temporaryPrefix(const QByteArray& baseName) {
    return baseName + ".pendra-";
}
constexpr int TemporarySuffixLength = 6; // the XXXXXX of mkostemp

// A temporary of ours whose writer is gone: a writer holds an exclusive lock on its
// temporary until it has renamed it, and the lock dies with the process, so a temporary
// that can be locked belongs to nobody any more.
void removeLeftovers(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash < 0 ? QByteArray(".") : target.left(slash == 0 ? 1 : slash);
    const QByteArray prefix = temporaryPrefix(target.mid(slash + 1));
    DIR* d = ::opendir(dir.constData());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const size_t len = std::strlen(e->d_name);
        if (len != static_cast<size_t>(prefix.size()) + TemporarySuffixLength ||
            std::strncmp(e->d_name, prefix.constData(), static_cast<size_t>(prefix.size())) != 0)
            continue;
        const QByteArray full = dir + '/' + e->d_name;
        const int fd = ::open(full.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(full.constData(), &named) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlink(full.constData());
        ::close(fd);
    }
    ::closedir(d);
}

mode_t currentUmask() {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

} // namespace

InputFileStatus StatInputFile(const QString& path, FileStamp* stamp) {
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0) return statusOfOpenError(errno);
    *stamp = stampOf(st);
    return S_ISREG(st.st_mode) ? InputFileStatus::Ok : InputFileStatus::NotRegular;
}

InputFileStatus CheckInputFile(const QString& path, qint64 maxBytes, FileStamp* stamp) {
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0) return statusOfOpenError(errno);
    if (stamp) *stamp = stampOf(st);
    const InputFileStatus s = checkStat(st, maxBytes);
    if (s != InputFileStatus::Ok) return s;
    if (::access(native(path).constData(), R_OK) != 0) return InputFileStatus::Unreadable;
    return InputFileStatus::Ok;
}

int OpenInputFile(const QString& path, qint64 maxBytes, InputFileStatus* status, FileStamp* stamp) {
    const QByteArray name = native(path);
    // A look first, so that a device is never even opened; the checks after the open
    // catch whatever took the file's place in between.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        *status = statusOfOpenError(errno);
        return -1;
    }
    if ((*status = checkStat(st, maxBytes)) != InputFileStatus::Ok) {
        if (stamp) *stamp = stampOf(st);
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (stamp) *stamp = stampOf(st);
        *status = statusOfOpenError(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        *status = InputFileStatus::Unreadable;
        ::close(fd);
        return -1;
    }
    if (stamp) *stamp = stampOf(st);
    if ((*status = checkStat(st, maxBytes)) != InputFileStatus::Ok) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

InputFileStatus ReadInputFile(const QString& path, qint64 maxBytes, QByteArray* bytes,
                              FileStamp* stamp) {
    bytes->clear();
    InputFileStatus status = InputFileStatus::Ok;
    FileStamp st;
    const int fd = OpenInputFile(path, maxBytes, &status, &st);
    if (stamp) *stamp = st;
    if (fd < 0) return status;
    // One byte more than the size on record shows a file that grew meanwhile.
    QByteArray data(static_cast<qsizetype>(st.size) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        if (used == data.size()) {
            if (maxBytes >= 0 && used > maxBytes) {
                status = InputFileStatus::TooLarge;
                break;
            }
            data.resize(qMax<qsizetype>(used * 2, 4096));
        }
        const ssize_t n = ::read(fd, data.data() + used, static_cast<size_t>(data.size() - used));
        if (n < 0) {
            if (errno == EINTR) continue;
            status = InputFileStatus::Unreadable;
            break;
        }
        if (n == 0) break;
        used += n;
    }
    ::close(fd);
    if (status == InputFileStatus::Ok && maxBytes >= 0 && used > maxBytes)
        status = InputFileStatus::TooLarge;
    if (status != InputFileStatus::Ok) return status;
    data.truncate(used);
    *bytes = std::move(data);
    return status;
}

bool OpenInputFile(const QString& path, qint64 maxBytes, QFile* file, InputFileStatus* status) {
    const int fd = OpenInputFile(path, maxBytes, status);
    if (fd < 0) return false;
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *status = InputFileStatus::Unreadable;
        return false;
    }
    return true;
}

bool PictureSizeAllowed(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}

QString InputFileProblem(InputFileStatus status) {
    switch (status) {
    case InputFileStatus::Ok:
        return {};
    case InputFileStatus::Missing:
        return QStringLiteral("文件不存在");
    case InputFileStatus::NotRegular:
        return QStringLiteral("不是普通文件");
    case InputFileStatus::Unreadable:
        return QStringLiteral("无法读取");
    case InputFileStatus::TooLarge:
        return QStringLiteral("文件太大");
    }
    return {};
}

QString ResolveSymlinks(const QString& path) {
    QString p = QFileInfo(path).absoluteFilePath();
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo fi(p);
        if (!fi.isSymLink()) break;
        p = fi.symLinkTarget();
    }
    return p;
}

bool DirectoryAcceptsNewFiles(const QString& path) {
    const QByteArray dir = native(QFileInfo(path).absolutePath());
    struct stat st {};
    return ::stat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) && hasWriteBits(st.st_mode) &&
           ::access(dir.constData(), W_OK | X_OK) == 0;
}

bool FileIsWritable(const QString& path) {
    const QByteArray name = native(path);
    struct stat st {};
    return ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && hasWriteBits(st.st_mode) &&
           ::access(name.constData(), W_OK) == 0;
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes, int* errorNumber,
                           bool clearLeftovers) {
    const QByteArray target = native(ResolveSymlinks(path));
    struct stat old {};
    const bool hadOld = ::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    if (clearLeftovers) removeLeftovers(target);

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray pattern =
        target.left(slash + 1) + temporaryPrefix(target.mid(slash + 1)) + "XXXXXX";
    for (int attempt = 0; attempt < 5; ++attempt) {
        QByteArray temp = pattern;
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) {
            *errorNumber = errno;
            return false;
        }
        // Locked for as long as it is ours, so that no other writer takes it for a leftover.
        struct stat st {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &st) != 0) {
            const SavedErrno e;
            ::unlink(temp.constData());
            ::close(fd);
            *errorNumber = e.value;
            return false;
        }
        if (st.st_nlink == 0) { // removed by another writer's clean-up before the lock
            ::close(fd);
            continue;
        }
        const mode_t mode = hadOld ? (old.st_mode & 07777) : (0666 & ~currentUmask());
        bool ok = writeAll(fd, bytes.constData(), bytes.size());
        if (ok && hadOld && (old.st_uid != st.st_uid || old.st_gid != st.st_gid)) {
            // Only a privileged writer may keep the owner; for others the file becomes theirs.
            [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        }
        ok = ok && ::fchmod(fd, mode) == 0;
        ok = ok && ::fdatasync(fd) == 0;
        ok = ok && ::rename(temp.constData(), target.constData()) == 0;
        if (!ok) {
            const SavedErrno e;
            ::unlink(temp.constData());
            ::close(fd);
            *errorNumber = e.value ? e.value : EIO;
            return false;
        }
        ::close(fd);
        return true;
    }
    *errorNumber = EAGAIN;
    return false;
}

bool OverwriteFileInPlace(const QString& path, const QByteArray& oldBytes,
                          const QByteArray& newBytes, int* errorNumber) {
    const QByteArray target = native(ResolveSymlinks(path));
    const int fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *errorNumber = errno;
        return false;
    }
    struct stat st {};
    int refused = 0;
    if (::fstat(fd, &st) != 0)
        refused = errno;
    else if (!S_ISREG(st.st_mode))
        refused = EINVAL;
    else if (st.st_size != oldBytes.size())
        refused = ESTALE; // changed since it was read: the edit would not fit it
    if (refused) {
        ::close(fd);
        *errorNumber = refused;
        return false;
    }
    const qsizetype oldSize = oldBytes.size();
    const qsizetype newSize = newBytes.size();
    qsizetype from = 0;
    const qsizetype common = qMin(oldSize, newSize);
    while (from < common && oldBytes[from] == newBytes[from])
        ++from;

    const auto fail = [&](bool restore) {
        const SavedErrno e;
        if (restore) {
            pwriteAll(fd, oldBytes.constData() + from, oldSize - from, from);
            if (::ftruncate(fd, oldSize) == 0) ::fdatasync(fd);
        }
        ::close(fd);
        *errorNumber = e.value ? e.value : EIO;
        return false;
    };

    if (newSize > oldSize) {
        const int r = ::posix_fallocate(fd, oldSize, newSize - oldSize);
        if (r != 0) {
            // A partial reservation may have grown the file.
            [[maybe_unused]] const int shrunk = ::ftruncate(fd, oldSize);
            errno = r;
            return fail(false);
        }
    }
    if (!pwriteAll(fd, newBytes.constData() + from, newSize - from, from)) return fail(true);
    if (newSize < oldSize && ::ftruncate(fd, newSize) != 0) return fail(true);
    if (::fdatasync(fd) != 0) return fail(true);
    ::close(fd);
    return true;
}
