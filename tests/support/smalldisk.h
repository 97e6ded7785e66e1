#pragma once
// A small tmpfs mounted for one test, to fill a real file system to the brim. Needs root
// (or CAP_SYS_ADMIN); tests skip with a message where mounting is not permitted.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk {
public:
    // Mounts a tmpfs of the given size on the directory mountPoint (which must exist).
    SmallDisk(const QString& mountPoint, const char* size) : m_path(mountPoint) {
        const QByteArray options = QByteArray("size=") + size + ",mode=0777";
        if (::mount("pendra-test", QFile::encodeName(m_path).constData(), "tmpfs",
                    MS_NOSUID | MS_NODEV, options.constData()) == 0)
            m_mounted = true;
        else
            m_error = errno;
    }
    ~SmallDisk() {
        if (m_mounted) ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    bool notPermitted() const { return m_error == EPERM || m_error == EACCES; }
    std::string why() const { return std::strerror(m_error); }
    QString filePath(const QString& name) const { return QDir(m_path).filePath(name); }

    // Writes a file that takes every byte left; returns false if the disk never got full.
    bool fill(const QString& name) const {
        const int fd = ::open(QFile::encodeName(filePath(name)).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        const QByteArray page(4096, 'x');
        bool full = false;
        // Whole pages first, then single bytes into the last page that has room.
        for (const qsizetype chunk : {qsizetype(4096), qsizetype(1)}) {
            for (;;) {
                const ssize_t n = ::write(fd, page.constData(), static_cast<size_t>(chunk));
                if (n < 0 && errno == ENOSPC) {
                    full = true;
                    break;
                }
                if (n <= 0) break;
            }
        }
        ::close(fd);
        return full;
    }

private:
    QString m_path;
    bool m_mounted = false;
    int m_error = 0;
};
