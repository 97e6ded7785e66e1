#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace {

const char Utf8Bom[] = "\xEF\xBB\xBF";
const char LegacyCodec[] = "GB18030";

enum class Encoding { Utf8, Utf8Bom, Legacy };

struct FileText {
    QStringList lines;
    Encoding encoding = Encoding::Utf8;
};

// Decoding happens before any parsing: some GBK characters carry the bytes of '[', '\'
// and ']' as their second byte.
FileText decode(const QByteArray& bytes) {
    FileText ft;
    QString text;
    if (bytes.startsWith(Utf8Bom)) {
        ft.encoding = Encoding::Utf8Bom;
        text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            ft.encoding = Encoding::Legacy;
            QStringDecoder legacy(LegacyCodec);
            text = legacy.decode(bytes);
        }
    }
    // Lines end with CR LF; lone LF or CR (files edited elsewhere) are accepted too.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    ft.lines = text.split(QLatin1Char('\n'));
    if (!ft.lines.isEmpty() && ft.lines.last().isEmpty()) ft.lines.removeLast();
    return ft;
}

QByteArray encode(const FileText& ft) {
    QString text = ft.lines.join(QLatin1String("\r\n"));
    if (!ft.lines.isEmpty()) text += QLatin1String("\r\n");
    switch (ft.encoding) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8Bom:
        return QByteArray(Utf8Bom) + text.toUtf8();
    case Encoding::Legacy: {
        QStringEncoder legacy(LegacyCodec);
        return legacy.encode(text);
    }
    }
    return {};
}

FileText load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return decode(f.readAll());
}

// A section header: "[name]" after optional blanks. Returns false for other lines.
bool sectionName(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    *name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return true;
}

// A key line: "name=value". Comment lines (';') and lines without '=' are no keys.
bool keyLine(const QString& line, QString* key, QString* value) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    const QString k = line.left(eq).trimmed();
    if (k.startsWith(QLatin1Char(';')) || k.startsWith(QLatin1Char('['))) return false;
    *key = k;
    if (value) *value = line.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Finds the first section of that name; returns the index of its header line or -1, and
// in *end the index one past its last line.
qsizetype findSection(const QStringList& lines, const QString& section, qsizetype* end) {
    qsizetype start = -1;
    QString name;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!sectionName(lines[i], &name)) continue;
        if (start >= 0) {
            *end = i;
            return start;
        }
        if (sameName(name, section)) start = i;
    }
    *end = lines.size();
    return start;
}

bool hasNoWriteBits(const QFileInfo& fi) {
    return !(fi.permissions() &
             (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

// Replaces the file atomically: a temporary file in the same directory, flushed to disk,
// then renamed over the old one with the old file's permissions. A crash or a full disk
// therefore never leaves a truncated file behind.
void store(const QString& path, const QByteArray& bytes) {
    const QFileInfo fi(path);
    // Read-only marks are honoured even for a privileged user, as on the system the
    // settings files come from; without this a rename would replace a read-only file.
    if ((fi.exists() && (!fi.isWritable() || hasNoWriteBits(fi))) ||
        hasNoWriteBits(QFileInfo(fi.absolutePath())))
        throw SettingsWriteError(fi.absoluteFilePath());
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw SettingsWriteError(fi.absoluteFilePath());
}

} // namespace

SettingsWriteError::SettingsWriteError(const QString& fullPath)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(fullPath).toStdString()) {}

SettingsFile::SettingsFile(const QString& path) : m_path(path) {}

QString SettingsFile::ReadString(const QString& section, const QString& key,
                                 const QString& def) const {
    const FileText ft = load(m_path);
    qsizetype end = 0;
    const qsizetype start = findSection(ft.lines, section, &end);
    if (start < 0) return def;
    QString k, v;
    for (qsizetype i = start + 1; i < end; ++i) {
        if (keyLine(ft.lines[i], &k, &v) && sameName(k, key)) return v.left(MaxValueLength);
    }
    return def;
}

int ParseSettingsInteger(const QString& input, int def) {
    QString text = input;
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        text = QLatin1Char('$') + text.mid(2);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    const bool hex = i < text.size() && text[i] == QLatin1Char('$');
    if (hex) ++i;
    if (i >= text.size()) return def;
    quint64 magnitude = 0;
    const quint64 limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    const auto digitValue = [hex](char16_t u) -> int {
        if (u >= '0' && u <= '9') return u - '0';
        if (hex && u >= 'a' && u <= 'f') return u - 'a' + 10;
        if (hex && u >= 'A' && u <= 'F') return u - 'A' + 10;
        return -1;
    };
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i].unicode());
        if (digit < 0) return def;
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > limit) return def;
    }
    // Hexadecimal digits give the 32-bit pattern, so $FF00000F is a negative number.
    const auto bits = static_cast<quint32>(magnitude);
    const qint64 value = hex ? static_cast<qint32>(bits) : static_cast<qint64>(magnitude);
    return static_cast<int>(negative ? -value : value);
}

int SettingsFile::ReadInteger(const QString& section, const QString& key, int def) const {
    return ParseSettingsInteger(ReadString(section, key, QString()), def);
}

bool SettingsFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void SettingsFile::WriteString(const QString& section, const QString& key, const QString& value) {
    // A line break in a value would start a new line in the file and could forge keys.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));

    FileText ft = load(m_path);
    qsizetype end = 0;
    const qsizetype start = findSection(ft.lines, section, &end);
    if (start < 0) {
        if (!ft.lines.isEmpty() && !ft.lines.last().trimmed().isEmpty()) ft.lines.append(QString());
        ft.lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        ft.lines.append(key + QLatin1Char('=') + clean);
    } else {
        QString k;
        qsizetype lastKey = start;
        bool replaced = false;
        for (qsizetype i = start + 1; i < end; ++i) {
            if (!keyLine(ft.lines[i], &k, nullptr)) {
                if (!ft.lines[i].trimmed().isEmpty()) lastKey = i;
                continue;
            }
            lastKey = i;
            if (sameName(k, key)) {
                // The key keeps the letter case it has in the file.
                ft.lines[i] = k + QLatin1Char('=') + clean;
                replaced = true;
                break;
            }
        }
        if (!replaced) ft.lines.insert(lastKey + 1, key + QLatin1Char('=') + clean);
    }
    store(m_path, encode(ft));
}

void SettingsFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void SettingsFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
