#pragma once

#include <QString>
#include <stdexcept>

// Raised when the system refuses a write to the settings file. The message is shown
// to the user by the application's general error handler.
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const QString& fullPath);
};

// The INI settings file (js.ini). Nothing is cached: every read parses the file as it is
// on disk at that moment and every write replaces it at once, so a change made by another
// program shows at the next read. Section and key names match without regard to letter
// case; backslashes in values are plain characters.
//
// Encoding: a file with a UTF-8 byte order mark, or one that is valid UTF-8 throughout,
// is UTF-8; anything else is GB18030 (a superset of the GBK code page that Chinese
// Windows writes). A write keeps the encoding the file has; a new file is UTF-8.
class SettingsFile {
public:
    explicit SettingsFile(const QString& path);

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

private:
    QString m_path;
};

// Reading rule of integers in the settings file: optional sign, then decimal digits, or
// hexadecimal digits after "$" (or "0x"/"0X"). Anything else, and overflow, yields def.
int ParseSettingsInteger(const QString& text, int def);
