// js.ini from any bytes: every key is read, one key is written, and the write must change
// nothing but its own line (or add it), read back as written, and leave every other key
// reading as before. The last input byte picks the key and the value.
#include "settingkeys.h"
#include "settingsfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Name {
    QString section;
    QString key;
};

const std::vector<Name>& names() {
    static const std::vector<Name> all = [] {
        std::vector<Name> v;
        for (const SettingKey* k : AllSettingKeys()) {
            if (!k->numbered) {
                v.push_back({k->sectionName(), k->keyName()});
                continue;
            }
            for (int n = 0; n <= 8; ++n)
                v.push_back({k->sectionName(), k->keyName(n)});
        }
        return v;
    }();
    return all;
}

const QString values[] = {
    QStringLiteral("1"),           QString(),
    QStringLiteral("准时"),        QStringLiteral("阶段1"),
    QStringLiteral("Café"),        QStringLiteral("€"),
    QStringLiteral("ΩЖ"),          QStringLiteral("C:\\声音\\提示.wav"),
    QStringLiteral("a=b"),         QStringLiteral("  padded  "),
    QStringLiteral("[System]"),    QStringLiteral(";x"),
    QStringLiteral("line\nbreak"),
};

QString workFile() {
    static const QString path = [] {
        // Memory rather than disk where there is one: every write is synced.
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        QByteArray dir = QFile::encodeName(base) + "/pendra-settings-fuzz-XXXXXX";
        if (!mkdtemp(dir.data())) std::abort();
        return QFile::decodeName(dir) + QStringLiteral("/js.ini");
    }();
    return path;
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "settings_fuzz: %s\n", what);
    std::abort();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) fail("cannot read the file back");
    return f.readAll();
}

int unitWidth(const QByteArray& b) {
    return b.startsWith("\xFF\xFE") || b.startsWith("\xFE\xFF") ? 2 : 1;
}

bool isBreak(const QByteArray& b, qsizetype at, int width) {
    if (width == 1) return b[at] == '\r' || b[at] == '\n';
    if (at + 1 >= b.size()) return false;
    const bool le = b.startsWith("\xFF\xFE");
    const uchar lo = static_cast<uchar>(b[at + (le ? 0 : 1)]);
    const uchar hi = static_cast<uchar>(b[at + (le ? 1 : 0)]);
    return hi == 0 && (lo == '\r' || lo == '\n');
}

// Between the longest common start and end of the two files, the old bytes must lie within
// one line (no line break among them) and the new ones be no more than the written line.
bool onlyItsOwnLine(const QByteArray& before, const QByteArray& after, qsizetype room) {
    const int w = unitWidth(before);
    if (unitWidth(after) != w && !before.isEmpty()) return false;
    const qsizetype common = qMin(before.size(), after.size());
    qsizetype p = 0;
    while (p < common && before[p] == after[p])
        ++p;
    p -= p % w;
    qsizetype s = 0;
    while (s < common - p && before[before.size() - 1 - s] == after[after.size() - 1 - s])
        ++s;
    if (w == 2 && (before.size() - s) % 2 != 0) --s;
    for (qsizetype i = p; i + w <= before.size() - s; i += w)
        if (isBreak(before, i, w)) return false;
    return after.size() - s - p <= room;
}

enum class Reading { Gbk, Utf8 };

// How lines of two-byte UTF-8 sequences read in this file (see settingsfile.h).
Reading ambiguousReading(const QByteArray& b, bool* hasAmbiguous) {
    *hasAmbiguous = false;
    if (b.startsWith("\xEF\xBB\xBF") || unitWidth(b) == 2) return Reading::Utf8;
    bool gbk = false;
    bool utf8 = false;
    for (const QByteArray& line : b.split('\n')) {
        for (const QByteArray& part : line.split('\r')) {
            if (std::all_of(part.begin(), part.end(), [](char c) { return c >= 0; })) continue;
            QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            (void)d.decode(part);
            if (d.hasError())
                gbk = true;
            else if (std::any_of(part.begin(), part.end(),
                                 [](char c) { return static_cast<uchar>(c) >= 0xE0; }))
                utf8 = true;
            else
                *hasAmbiguous = true;
        }
    }
    return gbk || !utf8 ? Reading::Gbk : Reading::Utf8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = workFile();
    const QByteArray before(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(before) != before.size())
            fail("cannot write the input file");
    }
    const std::vector<Name>& all = names();
    SettingsFile file(path);
    QStringList read;
    for (const Name& n : all) {
        read << file.ReadString(n.section, n.key, QStringLiteral("\x1"));
        (void)ParseSettingsInteger(read.last(), 7);
    }

    const unsigned pick = size ? data[size - 1] : 0;
    const size_t which = pick % all.size();
    const QString& value = values[(pick / all.size()) % std::size(values)];
    const Name& target = all[which];
    try {
        file.WriteString(target.section, target.key, value);
    } catch (const SettingsWriteError&) {
        fail("a write to a readable file in a writable directory was refused");
    }

    const QByteArray after = fileBytes(path);
    const qsizetype room = (target.section.size() + target.key.size() + value.size() + 8) * 4 + 16;
    if (!onlyItsOwnLine(before, after, room)) fail("the write changed another line");

    QString expected = value;
    expected.replace(QLatin1Char('\n'), QLatin1Char(' '));
    expected = expected.trimmed();
    SettingsFile again(path);
    if (again.ReadString(target.section, target.key, QStringLiteral("\x1")) != expected)
        fail("the written value does not read back");

    bool ambiguousBefore = false;
    bool ambiguousAfter = false;
    const bool sameReading =
        ambiguousReading(before, &ambiguousBefore) == ambiguousReading(after, &ambiguousAfter);
    for (size_t i = 0; i < all.size(); ++i) {
        const bool sameKey = all[i].section.compare(target.section, Qt::CaseInsensitive) == 0 &&
                             all[i].key.compare(target.key, Qt::CaseInsensitive) == 0;
        const QString now = again.ReadString(all[i].section, all[i].key, QStringLiteral("\x1"));
        if (file.ReadString(all[i].section, all[i].key, QStringLiteral("\x1")) != now)
            fail("the writer's own reads differ from a fresh reader's");
        // The one exception: the write took away the only line that made ambiguous lines
        // read one way (see settingsfile.h).
        if (!sameKey && now != read[static_cast<qsizetype>(i)] && (sameReading || !ambiguousBefore))
            fail("another key reads differently after the write");
    }
    return 0;
}
