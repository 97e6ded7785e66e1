#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QFile;

// Files on disk, opened and written so that no file can hang, swamp or damage the program.
//
// Every file the program reads that a user names or places (js.ini, the texture picture,
// the GIF, the progress bar's BMP, the sound cues) goes through OpenInputFile or
// CheckInputFile: only a regular file is accepted, so a FIFO, a device or a directory in
// its place is refused at once instead of blocking or streaming for ever, and a size
// limit keeps a huge file out of memory.

enum class InputFileStatus {
    Ok,
    Missing,    // nothing by that name (or a directory on the way is missing)
    NotRegular, // a directory, FIFO, socket or device
    Unreadable, // exists, but cannot be opened or read (permissions, I/O error)
    TooLarge,   // more bytes than the caller's limit
};

// What identifies a file's state on disk: a change made by any program changes at least
// one of these (a rewrite keeping size and modification time still moves the change time).
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint32 mode = 0;
    quint32 uid = 0;
    quint32 gid = 0;
    bool operator==(const FileStamp&) const = default;
};

// The file's stamp, without opening it or checking more: Missing, Unreadable (its state
// cannot be seen), NotRegular or Ok, the stamp set for the last two.
InputFileStatus StatInputFile(const QString& path, FileStamp* stamp);

// Looks at a file without opening it. maxBytes < 0 means no size limit.
InputFileStatus CheckInputFile(const QString& path, qint64 maxBytes = -1,
                               FileStamp* stamp = nullptr);

// Opens a file for reading without ever blocking: the open is non-blocking (a FIFO that
// replaced the file after a check cannot stall it), then the opened file itself is checked.
// Returns a file descriptor in blocking mode, or -1 with *status saying why. The caller
// closes the descriptor.
int OpenInputFile(const QString& path, qint64 maxBytes, InputFileStatus* status,
                  FileStamp* stamp = nullptr);

// Reads a whole regular file of at most maxBytes. A file that grows past the limit while
// it is read counts as TooLarge.
InputFileStatus ReadInputFile(const QString& path, qint64 maxBytes, QByteArray* bytes,
                              FileStamp* stamp = nullptr);

// The same, handing the descriptor to a QFile opened for reading (for QImageReader, say).
// Returns false with *status set when the file is refused.
bool OpenInputFile(const QString& path, qint64 maxBytes, QFile* file, InputFileStatus* status);

// Pictures are decoded only up to this size, checked from the file's header before any
// pixel is decoded: a few hundred bytes can claim a picture of gigabytes.
constexpr int MaxPictureSide = 8192;
constexpr qint64 MaxPicturePixels = 32'000'000;
bool PictureSizeAllowed(qint64 width, qint64 height);

// A short Chinese reason for a refused file, to be put after the file's name in a message
// ("不是普通文件", "无法读取", ...). Empty for Ok.
QString InputFileProblem(InputFileStatus status);

// Writing. Each function returns false and sets *errorNumber (an errno value) on failure;
// the file is then exactly as it was before the call.

// Replaces path (a symbolic link is followed to its target) by a new file holding bytes:
// a temporary file beside it, written, synced and renamed over the old one. The new file
// gets the old one's permissions and, where allowed, its owner; a new file gets the usual
// permissions under the umask. With clearLeftovers, temporaries left beside it by an
// earlier writer that was killed are removed first (a live writer's are left alone).
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes, int* errorNumber,
                           bool clearLeftovers = true);

// Rewrites an existing regular file in place, for a directory where no temporary file can
// be made. oldBytes must be the file's present contents; only what differs from them is
// written. The room for a longer file is reserved before any byte changes, so a full disk
// leaves the old contents; on any later failure the old contents are put back.
bool OverwriteFileInPlace(const QString& path, const QByteArray& oldBytes,
                          const QByteArray& newBytes, int* errorNumber);

// Whether the directory of path lets a temporary file be created beside it, honouring the
// permission bits even for a privileged user.
bool DirectoryAcceptsNewFiles(const QString& path);

// The file a path finally names when symbolic links are followed (even a dangling one).
QString ResolveSymlinks(const QString& path);

// Whether a file's permission bits allow writing for someone (the read-only mark), and the
// process may write it.
bool FileIsWritable(const QString& path);
