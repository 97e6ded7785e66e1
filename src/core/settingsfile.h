#pragma once

#include <QString>
#include <memory>
#include <stdexcept>

// Raised when the system refuses a write to the settings file. The message is shown
// to the user by the application's general error handler.
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const QString& fullPath);
};

// The INI settings file (js.ini). Section and key names match without regard to letter
// case; backslashes in values are plain characters.
//
// Reads: the file is parsed once and kept while it stays the same file with the same size,
// modification and change time (to the nanosecond); every read looks at these first, so a
// change made by another program shows at the next read. A small file changed within the
// last two seconds is compared byte for byte as well, as time stamps that close together
// may not tell two versions apart. A file that exists but cannot be read (no permission, a
// directory or FIFO in its place, larger than MaxFileBytes) reads as empty.
//
// Writes: a write changes only the line of the key it writes (or adds the key, or the
// section at the end of the file); every other byte stays as it was, whatever it holds.
// The new file is written beside the old one, synced and renamed over it; where the
// directory takes no new file but the file itself is writable, it is rewritten in place.
// Every failure raises SettingsWriteError and leaves the file exactly as it was; a file
// that exists but cannot be read, or carries the read-only mark, is never written.
//
// Encodings: a byte order mark makes the file UTF-8, UTF-16 LE or UTF-16 BE, and written
// text goes in the same encoding. Without one, each line is read on its own, as Chinese
// Windows (code page 936, GBK) and Linux editors (UTF-8) each write some:
// - a line that is valid UTF-8 and holds a character of three or four bytes is UTF-8;
// - a line that is not valid UTF-8 is GB18030 (the superset of GBK), 0x80 being the euro
//   sign as in code page 936;
// - a line that is valid UTF-8 with two-byte characters only is ambiguous (about 930 GBK
//   characters and pairs such as "准时" are such UTF-8): GB18030, unless the file has no
//   line of the second kind and at least one of the first, which makes it UTF-8.
// Written text takes the encoding the file's other lines show (GB18030 where one reads as
// such, else UTF-8; a new file is UTF-8), or the other one where that would not read back
// as written.
class SettingsFile {
public:
    explicit SettingsFile(const QString& path);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const QString& path() const { return m_path; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    // Each write throws SettingsWriteError when the file cannot be written; the file
    // then stays as it was.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    // The longest value a read returns; longer values are cut.
    static constexpr int MaxValueLength = 2047;
    // A larger file is not read (it reads as empty and is never written).
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    struct Parsed;

private:
    const Parsed& fresh() const;

    QString m_path;
    mutable std::unique_ptr<Parsed> m_parsed;
    bool m_wroteOnce = false;
};

// Reading rule of integers in the settings file: optional sign, then decimal digits, or
// hexadecimal digits after "$" (or "0x"/"0X"). Anything else, and overflow, yields def.
int ParseSettingsInteger(const QString& text, int def);
