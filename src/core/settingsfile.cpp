#include "settingsfile.h"

#include "diskfile.h"

#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace {

// How the text units of the file are laid out after its byte order mark.
enum class Form : quint8 { Bytes, Utf16LE, Utf16BE };
// How one stretch of the file is turned into text.
enum class Codec : quint8 { Ascii, Utf8, Gb, Utf16LE, Utf16BE };
enum class Eol : quint8 { CrLf, Lf, Cr };

// A file changed this recently may be changed again without its time stamps moving.
constexpr qint64 RacyWindowNs = 2'000'000'000;
// Up to this size such a file is compared byte for byte instead.
constexpr qsizetype MaxRacyCheckBytes = 1024 * 1024;
// Distinct reads remembered for an unchanged file.
constexpr qsizetype MaxRemembered = 4096;
// A value longer than this is decoded in pieces: only its first characters are returned.
constexpr qsizetype ValueWindow = 32 * 1024;
// Longest part of a line decoded to find a section name or to test a line for one.
constexpr qsizetype MaxNameProbe = 64 * 1024;
// A longer key name is no key: no reader asks for one.
constexpr qsizetype MaxKeyUnits = 1024;

qint64 nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<qint64>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

template <Form F> inline char16_t unitAt(const uchar* p, qsizetype i) {
    if constexpr (F == Form::Bytes)
        return p[i];
    else if constexpr (F == Form::Utf16LE)
        return static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    else
        return static_cast<char16_t>((p[2 * i] << 8) | p[2 * i + 1]);
}

template <class Fn> decltype(auto) withForm(Form form, Fn&& fn) {
    switch (form) {
    case Form::Utf16LE:
        return fn(std::integral_constant<Form, Form::Utf16LE>{});
    case Form::Utf16BE:
        return fn(std::integral_constant<Form, Form::Utf16BE>{});
    case Form::Bytes:
        break;
    }
    return fn(std::integral_constant<Form, Form::Bytes>{});
}

// The blanks that QString::trimmed() removes and that are plain ASCII.
inline bool isAsciiBlank(char16_t c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

enum class LineKind : quint8 { Ascii, Utf8, Gb, Ambiguous };

// Every two-byte UTF-8 sequence (C2-DF, 80-BF) is also a valid GB18030 pair, so a line of
// two-byte sequences reads either way; three- and four-byte sequences are UTF-8's own.
LineKind classifyLine(const uchar* p, qsizetype n) {
    bool multi = false;
    bool wide = false;
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            len = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            len = 4;
        else
            return LineKind::Gb;
        if (n - i < len) return LineKind::Gb;
        char32_t cp = c & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            const uchar b = p[i + k];
            if ((b & 0xC0) != 0x80) return LineKind::Gb;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) return LineKind::Gb;
        if (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) return LineKind::Gb;
        multi = true;
        wide = wide || len > 2;
        i += len;
    }
    return !multi ? LineKind::Ascii : wide ? LineKind::Utf8 : LineKind::Ambiguous;
}

QStringDecoder& gbDecoder() {
    static thread_local QStringDecoder d("GB18030", QStringDecoder::Flag::Stateless);
    return d;
}
QStringEncoder& gbEncoder() {
    static thread_local QStringEncoder e("GB18030", QStringEncoder::Flag::Stateless);
    return e;
}

// GB18030 as code page 936 writes it: 0x80 alone is the euro sign. Bytes that form no
// character become U+FFFD (the file keeps them; only the text read shows the mark).
QString decodeGb(const uchar* p, qsizetype n) {
    QString out;
    out.reserve(n);
    qsizetype run = 0;
    const auto flush = [&](qsizetype end) {
        if (end > run)
            out += gbDecoder().decode(
                QByteArrayView(reinterpret_cast<const char*>(p) + run, end - run));
    };
    qsizetype i = 0;
    while (i < n) {
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c != 0x80 && c != 0xFF && i + 1 < n) {
            const uchar d = p[i + 1];
            if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xFE)) {
                i += 2;
                continue;
            }
            if (d >= 0x30 && d <= 0x39 && i + 3 < n && p[i + 2] >= 0x81 && p[i + 2] <= 0xFE &&
                p[i + 3] >= 0x30 && p[i + 3] <= 0x39) {
                i += 4;
                continue;
            }
        }
        flush(i);
        out += QChar(c == 0x80 ? 0x20AC : 0xFFFD);
        run = ++i;
    }
    flush(n);
    return out;
}

QByteArray encodeGb(const QString& text) {
    const QByteArray gb = gbEncoder().encode(text);
    QByteArray out;
    out.reserve(gb.size());
    const auto* p = reinterpret_cast<const uchar*>(gb.constData());
    const qsizetype n = gb.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        qsizetype len = 1;
        if (c >= 0x81 && c <= 0xFE && i + 1 < n)
            len = (p[i + 1] >= 0x30 && p[i + 1] <= 0x39 && i + 3 < n) ? 4 : 2;
        if (len == 2 && c == 0xA2 && p[i + 1] == 0xE3)
            out += '\x80';
        else
            out.append(gb.constData() + i, len);
        i += len;
    }
    return out;
}

QByteArray encodeText(const QString& text, Codec codec) {
    switch (codec) {
    case Codec::Gb:
        return encodeGb(text);
    case Codec::Utf16LE:
    case Codec::Utf16BE: {
        QByteArray out(text.size() * 2, Qt::Uninitialized);
        const bool le = codec == Codec::Utf16LE;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            out[2 * i + (le ? 0 : 1)] = static_cast<char>(u & 0xFF);
            out[2 * i + (le ? 1 : 0)] = static_cast<char>(u >> 8);
        }
        return out;
    }
    case Codec::Ascii:
    case Codec::Utf8:
        break;
    }
    return text.toUtf8();
}

QString eolText(Eol eol) {
    switch (eol) {
    case Eol::Lf:
        return QStringLiteral("\n");
    case Eol::Cr:
        return QStringLiteral("\r");
    case Eol::CrLf:
        break;
    }
    return QStringLiteral("\r\n");
}

inline char32_t foldAscii(char32_t c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Simple case folding, code point by code point, as QString::compare(Qt::CaseInsensitive).
class FoldedHash {
public:
    void add(char32_t c) { addFolded(c < 0x80 ? foldAscii(c) : QChar::toCaseFolded(c)); }
    void addFolded(char32_t c) { m_h = (m_h ^ c) * 1099511628211ull; }
    quint32 value() const { return static_cast<quint32>(m_h ^ (m_h >> 32)); }

private:
    quint64 m_h = 1469598103934665603ull;
};

quint32 foldedHash(QStringView s) {
    FoldedHash h;
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s[i].unicode();
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s[i], s[i + 1]);
            ++i;
        }
        h.add(c);
    }
    return h.value();
}

bool isAscii(QStringView s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

// The file as last read: its bytes, where its sections start, and how its lines read.
// Positions are in text units (bytes, or UTF-16 code units) after the byte order mark.
struct SettingsFile::Parsed {
    enum class State { Missing, Unreadable, Ok };
    State state = State::Missing;
    bool hasStamp = false;
    FileStamp stamp;
    bool trusted = true; // false: compare the bytes as well at the next read

    QByteArray bytes;
    Form form = Form::Bytes;
    bool utf8Bom = false;
    qsizetype bom = 0;
    qsizetype units = 0;

    // Header lines in file order, with a hash of the folded section name.
    std::vector<quint32> sectionStart;
    std::vector<quint32> sectionHash;
    // Lines of a BOM-less 8-bit file by kind, for the ambiguous ones.
    qint64 gbLines = 0;
    qint64 utf8Lines = 0;
    qint64 ambiguousLines = 0;
    Eol firstEol = Eol::CrLf;
    qsizetype lastLineStart = -1;

    mutable QHash<QString, std::optional<QString>> remembered;
    // By section number: hashes of folded key names with their line's start, sorted.
    using KeyIndex = std::vector<std::pair<quint32, quint32>>;
    mutable std::unordered_map<qsizetype, KeyIndex> keyIndex;

    const uchar* text() const { return reinterpret_cast<const uchar*>(bytes.constData()) + bom; }
    qsizetype byteOf(qsizetype unit) const { return bom + (form == Form::Bytes ? unit : 2 * unit); }
    bool ambiguousIsUtf8() const { return gbLines == 0 && utf8Lines > 0; }
};

namespace {

using Parsed = SettingsFile::Parsed;
using KeyIndex = Parsed::KeyIndex;

template <Form F> struct Text {
    const uchar* p;
    qsizetype n;
    explicit Text(const Parsed& pf) : p(pf.text()), n(pf.units) {}

    char16_t at(qsizetype i) const { return unitAt<F>(p, i); }
    // The end of the line's content from i on (its CR or LF, or the end), and whether the
    // content holds a unit beyond ASCII.
    qsizetype contentEnd(qsizetype i, bool* nonAscii = nullptr) const {
        bool high = false;
        if constexpr (F == Form::Bytes) {
            // Eight bytes at a time while none of them is a CR or LF.
            constexpr quint64 ones = 0x0101010101010101ull;
            constexpr quint64 highs = 0x8080808080808080ull;
            const auto hasByte = [](quint64 w, quint64 b) {
                const quint64 x = w ^ b;
                return ((x - ones) & ~x & highs) != 0;
            };
            while (i + 8 <= n) {
                quint64 w;
                std::memcpy(&w, p + i, 8);
                if (hasByte(w, ones * '\n') || hasByte(w, ones * '\r')) break;
                high = high || (w & highs) != 0;
                i += 8;
            }
        }
        for (; i < n; ++i) {
            const char16_t c = at(i);
            if (c == '\n' || c == '\r') break;
            high = high || c >= 0x80;
        }
        if (nonAscii) *nonAscii = high;
        return i;
    }
    // The start of the line after the one whose content ends at e.
    qsizetype nextLine(qsizetype e) const {
        if (e >= n) return n;
        if (at(e) == '\r' && e + 1 < n && at(e + 1) == '\n') return e + 2;
        return e + 1;
    }
    Eol eolAt(qsizetype e) const {
        if (at(e) == '\n') return Eol::Lf;
        return (e + 1 < n && at(e + 1) == '\n') ? Eol::CrLf : Eol::Cr;
    }
    qsizetype skipBlank(qsizetype i, qsizetype e) const {
        while (i < e && isAsciiBlank(at(i)))
            ++i;
        return i;
    }
    qsizetype trimEnd(qsizetype i, qsizetype e) const {
        while (e > i && isAsciiBlank(at(e - 1)))
            --e;
        return e;
    }
    qsizetype find(char16_t c, qsizetype i, qsizetype e) const {
        for (; i < e; ++i)
            if (at(i) == c) return i;
        return -1;
    }
    bool hasNonAscii(qsizetype i, qsizetype e) const {
        for (; i < e; ++i)
            if (at(i) >= 0x80) return true;
        return false;
    }
};

// For a stretch known to hold ASCII characters only.
Codec asciiCodec(const Parsed& pf) {
    if (pf.form == Form::Utf16LE) return Codec::Utf16LE;
    if (pf.form == Form::Utf16BE) return Codec::Utf16BE;
    return Codec::Ascii;
}

Codec lineCodec(const Parsed& pf, qsizetype ls, qsizetype le) {
    if (pf.form == Form::Utf16LE) return Codec::Utf16LE;
    if (pf.form == Form::Utf16BE) return Codec::Utf16BE;
    if (pf.utf8Bom) return Codec::Utf8;
    switch (classifyLine(pf.text() + ls, le - ls)) {
    case LineKind::Ascii:
        return Codec::Ascii;
    case LineKind::Utf8:
        return Codec::Utf8;
    case LineKind::Gb:
        return Codec::Gb;
    case LineKind::Ambiguous:
        break;
    }
    return pf.ambiguousIsUtf8() ? Codec::Utf8 : Codec::Gb;
}

QString decode(const Parsed& pf, Codec codec, qsizetype from, qsizetype to) {
    const uchar* p = pf.text();
    switch (codec) {
    case Codec::Ascii:
        return QString::fromLatin1(reinterpret_cast<const char*>(p) + from, to - from);
    case Codec::Utf8:
        return QString::fromUtf8(reinterpret_cast<const char*>(p) + from, to - from);
    case Codec::Gb:
        return decodeGb(p + from, to - from);
    case Codec::Utf16LE:
    case Codec::Utf16BE: {
        QString out(to - from, Qt::Uninitialized);
        QChar* d = out.data();
        for (qsizetype i = from; i < to; ++i)
            *d++ = QChar(codec == Codec::Utf16LE ? unitAt<Form::Utf16LE>(p, i)
                                                 : unitAt<Form::Utf16BE>(p, i));
        return out;
    }
    }
    return {};
}

// The section name of a header line: the text between "[" and the first "]" (or the end),
// trimmed.
template <Form F> QString headerName(const Parsed& pf, qsizetype ls) {
    const Text<F> t(pf);
    const qsizetype le = t.contentEnd(ls);
    if (!t.hasNonAscii(ls, le)) {
        const qsizetype open = t.skipBlank(ls, le);
        qsizetype close = t.find(']', open + 1, le);
        if (close < 0) close = le;
        const qsizetype a = t.skipBlank(open + 1, close);
        return decode(pf, asciiCodec(pf), a, t.trimEnd(a, close));
    }
    const QString line =
        decode(pf, lineCodec(pf, ls, le), ls, qMin(le, ls + MaxNameProbe)).trimmed();
    const qsizetype close = line.indexOf(QLatin1Char(']'));
    return (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
}

template <Form F> quint32 asciiHeaderHash(const Text<F>& t, qsizetype open, qsizetype le) {
    qsizetype close = t.find(']', open + 1, le);
    if (close < 0) close = le;
    const qsizetype a = t.skipBlank(open + 1, close);
    const qsizetype b = t.trimEnd(a, close);
    FoldedHash h;
    for (qsizetype i = a; i < b; ++i)
        h.addFolded(foldAscii(t.at(i)));
    return h.value();
}

// A line whose first character is a blank beyond ASCII (an ideographic space, say) and
// that holds a "[" may still be a header.
template <Form F> bool isHeaderLine(const Parsed& pf, qsizetype ls) {
    const Text<F> t(pf);
    const qsizetype le = t.contentEnd(ls);
    return decode(pf, lineCodec(pf, ls, le), ls, qMin(le, ls + MaxNameProbe))
        .trimmed()
        .startsWith(QLatin1Char('['));
}

template <Form F> void indexText(Parsed& pf) {
    const Text<F> t(pf);
    const bool classify = F == Form::Bytes && !pf.utf8Bom;
    std::vector<size_t> unnamed; // headers whose names need decoding
    std::vector<qsizetype> candidates;
    bool eolSeen = false;
    for (qsizetype ls = 0; ls < t.n;) {
        bool nonAscii = false;
        const qsizetype le = t.contentEnd(ls, &nonAscii);
        if (classify && nonAscii) {
            switch (classifyLine(t.p + ls, le - ls)) {
            case LineKind::Gb:
                ++pf.gbLines;
                break;
            case LineKind::Utf8:
                ++pf.utf8Lines;
                break;
            case LineKind::Ambiguous:
                ++pf.ambiguousLines;
                break;
            case LineKind::Ascii:
                break;
            }
        }
        const qsizetype i = t.skipBlank(ls, le);
        if (i < le) {
            const char16_t c = t.at(i);
            if (c == '[') {
                pf.sectionStart.push_back(static_cast<quint32>(ls));
                if (nonAscii) {
                    unnamed.push_back(pf.sectionHash.size());
                    pf.sectionHash.push_back(0);
                } else {
                    pf.sectionHash.push_back(asciiHeaderHash(t, i, le));
                }
            } else if (c >= 0x80 && t.find('[', i, le) >= 0) {
                candidates.push_back(ls);
            }
        }
        pf.lastLineStart = ls;
        if (le < t.n && !eolSeen) {
            pf.firstEol = t.eolAt(le);
            eolSeen = true;
        }
        ls = t.nextLine(le);
    }
    // Names beyond ASCII depend on how the whole file reads, known only now.
    for (size_t k : unnamed)
        pf.sectionHash[k] = foldedHash(headerName<F>(pf, pf.sectionStart[k]));
    bool added = false;
    for (qsizetype ls : candidates) {
        if (!isHeaderLine<F>(pf, ls)) continue;
        pf.sectionStart.push_back(static_cast<quint32>(ls));
        pf.sectionHash.push_back(foldedHash(headerName<F>(pf, ls)));
        added = true;
    }
    if (added) {
        std::vector<std::pair<quint32, quint32>> all;
        all.reserve(pf.sectionStart.size());
        for (size_t k = 0; k < pf.sectionStart.size(); ++k)
            all.emplace_back(pf.sectionStart[k], pf.sectionHash[k]);
        std::sort(all.begin(), all.end());
        for (size_t k = 0; k < all.size(); ++k) {
            pf.sectionStart[k] = all[k].first;
            pf.sectionHash[k] = all[k].second;
        }
    }
}

std::unique_ptr<Parsed> parse(QByteArray bytes) {
    auto pf = std::make_unique<Parsed>();
    pf->state = Parsed::State::Ok;
    pf->bytes = std::move(bytes);
    const QByteArray& b = pf->bytes;
    if (b.startsWith("\xEF\xBB\xBF")) {
        pf->utf8Bom = true;
        pf->bom = 3;
    } else if (b.startsWith("\xFF\xFE")) {
        pf->form = Form::Utf16LE;
        pf->bom = 2;
    } else if (b.startsWith("\xFE\xFF")) {
        pf->form = Form::Utf16BE;
        pf->bom = 2;
    }
    const qsizetype rest = b.size() - pf->bom;
    pf->units = pf->form == Form::Bytes ? rest : rest / 2;
    withForm(pf->form, [&](auto form) { indexText<decltype(form)::value>(*pf); });
    return pf;
}

qsizetype findSection(const Parsed& pf, const QString& section) {
    const quint32 h = foldedHash(section);
    for (size_t k = 0; k < pf.sectionStart.size(); ++k) {
        if (pf.sectionHash[k] != h) continue;
        const QString name = withForm(pf.form, [&](auto form) {
            return headerName<decltype(form)::value>(pf, pf.sectionStart[k]);
        });
        if (name.compare(section, Qt::CaseInsensitive) == 0) return static_cast<qsizetype>(k);
    }
    return -1;
}

qsizetype sectionEnd(const Parsed& pf, qsizetype k) {
    const auto next = static_cast<size_t>(k) + 1;
    return next < pf.sectionStart.size() ? pf.sectionStart[next] : pf.units;
}

struct LineSpan {
    qsizetype start = -1;
    qsizetype end = 0;  // end of the content
    qsizetype next = 0; // start of the next line
};

struct SectionScan {
    LineSpan key;     // the key's line, start -1 when it is not there
    qsizetype eq = 0; // its "="
};

// The name of a key line "name=value": the text before the first "=", trimmed. A comment
// (";"), a line starting with "[" and a name longer than MaxKeyUnits hold no key.
struct KeyName {
    bool ascii = true;
    qsizetype from = 0; // the name's units, when they are ASCII
    qsizetype to = 0;
    QString text; // else the decoded name
};

template <Form F>
bool keyNameOf(const Parsed& pf, const Text<F>& t, qsizetype ls, qsizetype le, qsizetype* eq,
               KeyName* name) {
    const qsizetype i = t.skipBlank(ls, le);
    if (i == le) return false;
    *eq = t.find('=', i, le);
    if (*eq < 0) return false;
    const qsizetype ke = t.trimEnd(i, *eq);
    if (ke - i > MaxKeyUnits) return false;
    if (!t.hasNonAscii(ls, *eq)) {
        const char16_t first = t.at(i);
        if (first == ';' || first == '[') return false;
        name->ascii = true;
        name->from = i;
        name->to = ke;
        return true;
    }
    name->ascii = false;
    name->text = decode(pf, lineCodec(pf, ls, le), ls, *eq).trimmed();
    return !name->text.startsWith(QLatin1Char(';')) && !name->text.startsWith(QLatin1Char('['));
}

template <Form F>
bool nameMatches(const Parsed& pf, const Text<F>& t, const KeyName& name, const QString& key,
                 bool asciiKey) {
    if (!name.ascii) return name.text.compare(key, Qt::CaseInsensitive) == 0;
    if (!asciiKey)
        return decode(pf, asciiCodec(pf), name.from, name.to).compare(key, Qt::CaseInsensitive) ==
               0;
    if (name.to - name.from != key.size()) return false;
    for (qsizetype j = 0; j < key.size(); ++j)
        if (foldAscii(t.at(name.from + j)) != foldAscii(key[j].unicode())) return false;
    return true;
}

template <Form F> quint32 nameHash(const Text<F>& t, const KeyName& name) {
    if (!name.ascii) return foldedHash(name.text);
    FoldedHash h;
    for (qsizetype j = name.from; j < name.to; ++j)
        h.addFolded(foldAscii(t.at(j)));
    return h.value();
}

// Sorts by hash, keeping the lines of one hash in file order: a radix sort, as a section
// may hold millions of keys.
void sortByHash(KeyIndex& index) {
    constexpr int Bits = 11;
    constexpr size_t Buckets = size_t(1) << Bits;
    KeyIndex other(index.size());
    for (int shift = 0; shift < 32; shift += Bits) {
        std::vector<size_t> start(Buckets + 1, 0);
        for (const auto& e : index)
            ++start[((e.first >> shift) & (Buckets - 1)) + 1];
        for (size_t b = 1; b <= Buckets; ++b)
            start[b] += start[b - 1];
        for (const auto& e : index)
            other[start[(e.first >> shift) & (Buckets - 1)]++] = e;
        index.swap(other);
    }
}

// A section gets an index of its key lines at its first lookup: the hash of each folded
// name with the line's start, in order, so that a read in a section of a million lines
// need not pass them all.
template <Form F> const KeyIndex& keyIndexOf(const Parsed& pf, qsizetype k) {
    auto found = pf.keyIndex.find(k);
    if (found != pf.keyIndex.end()) return found->second;
    const Text<F> t(pf);
    KeyIndex index;
    const qsizetype end = sectionEnd(pf, k);
    for (qsizetype ls = t.nextLine(t.contentEnd(pf.sectionStart[static_cast<size_t>(k)]));
         ls < end;) {
        const qsizetype le = t.contentEnd(ls);
        qsizetype eq = 0;
        KeyName name;
        if (keyNameOf(pf, t, ls, le, &eq, &name))
            index.emplace_back(nameHash(t, name), static_cast<quint32>(ls));
        ls = t.nextLine(le);
    }
    sortByHash(index);
    return pf.keyIndex.emplace(k, std::move(index)).first->second;
}

// The first line of the key in section k.
template <Form F> SectionScan findKey(const Parsed& pf, qsizetype k, const QString& key) {
    const Text<F> t(pf);
    SectionScan scan;
    const bool asciiKey = isAscii(key);
    const auto tryLine = [&](qsizetype ls) {
        const qsizetype le = t.contentEnd(ls);
        qsizetype eq = 0;
        KeyName name;
        if (!keyNameOf(pf, t, ls, le, &eq, &name) || !nameMatches(pf, t, name, key, asciiKey))
            return false;
        scan.key = {ls, le, t.nextLine(le)};
        scan.eq = eq;
        return true;
    };
    const KeyIndex& index = keyIndexOf<F>(pf, k);
    const quint32 h = foldedHash(key);
    auto it = std::lower_bound(index.begin(), index.end(), std::make_pair(h, quint32(0)));
    for (; it != index.end() && it->first == h; ++it)
        if (tryLine(it->second)) break;
    return scan;
}

// The last non-blank line of section k (its header if it has none).
template <Form F> LineSpan lastLineOf(const Parsed& pf, qsizetype k) {
    const Text<F> t(pf);
    const qsizetype hs = pf.sectionStart[static_cast<size_t>(k)];
    const qsizetype he = t.contentEnd(hs);
    LineSpan last{hs, he, t.nextLine(he)};
    const qsizetype end = sectionEnd(pf, k);
    for (qsizetype ls = last.next; ls < end;) {
        const qsizetype le = t.contentEnd(ls);
        const qsizetype next = t.nextLine(le);
        if (t.skipBlank(ls, le) < le) last = {ls, le, next};
        ls = next;
    }
    return last;
}

SectionScan scan(const Parsed& pf, qsizetype k, const QString& key) {
    return withForm(pf.form, [&](auto form) { return findKey<decltype(form)::value>(pf, k, key); });
}

// The value after "=", trimmed and cut to its first MaxValueLength characters. A very long
// value is decoded only as far as needed for those.
template <Form F> QString valueOf(const Parsed& pf, const SectionScan& s) {
    const Text<F> t(pf);
    const qsizetype vs = t.skipBlank(s.eq + 1, s.key.end);
    const qsizetype ve = t.trimEnd(vs, s.key.end);
    const Codec codec = lineCodec(pf, s.key.start, s.key.end);
    const qsizetype length = ve - vs;
    for (qsizetype window = qMin(length, ValueWindow);; window = qMin(length, window * 2)) {
        const QString text = decode(pf, codec, vs, vs + window);
        if (window == length) return text.trimmed().left(SettingsFile::MaxValueLength);
        qsizetype k = 0;
        while (k < text.size() && text[k].isSpace())
            ++k;
        // A character cut at the window's end lies well beyond what is returned.
        if (text.size() - k >= SettingsFile::MaxValueLength + 8)
            return text.mid(k, SettingsFile::MaxValueLength);
    }
}

std::optional<QString> lookup(const Parsed& pf, const QString& section, const QString& key) {
    const qsizetype k = findSection(pf, section);
    if (k < 0) return std::nullopt;
    const SectionScan s = scan(pf, k, key);
    if (s.key.start < 0) return std::nullopt;
    return withForm(pf.form, [&](auto form) { return valueOf<decltype(form)::value>(pf, s); });
}

template <Form F> bool isBlankLine(const Parsed& pf, qsizetype ls, qsizetype le) {
    const Text<F> t(pf);
    const qsizetype i = t.skipBlank(ls, le);
    if (i == le) return true;
    if (!t.hasNonAscii(i, le)) return false;
    return decode(pf, lineCodec(pf, ls, le), ls, qMin(le, ls + MaxNameProbe)).trimmed().isEmpty();
}

// The file's bytes with the key set to value; every other line keeps its bytes.
template <Form F>
QByteArray edit(const Parsed& pf, const QString& section, const QString& key, const QString& value,
                Codec codec) {
    const Text<F> t(pf);
    const QByteArray& bytes = pf.bytes;
    const auto enc = [codec](const QString& s) { return encodeText(s, codec); };
    const auto eol = [codec](Eol e) { return encodeText(eolText(e), codec); };
    const QString keyLine = key + QLatin1Char('=') + value;

    const qsizetype k = findSection(pf, section);
    if (k >= 0) {
        const SectionScan s = findKey<F>(pf, k, key);
        if (s.key.start >= 0) {
            // Blanks between "=" and an old value stay.
            const qsizetype v = t.skipBlank(s.eq + 1, s.key.end);
            const qsizetype vs = v < s.key.end ? v : s.eq + 1;
            return bytes.left(pf.byteOf(vs)) + enc(value) + bytes.mid(pf.byteOf(s.key.end));
        }
        const LineSpan last = lastLineOf<F>(pf, k);
        if (last.next > last.end) { // the line has its line break: the key goes after it
            return bytes.left(pf.byteOf(last.next)) + enc(keyLine) + eol(t.eolAt(last.end)) +
                   bytes.mid(pf.byteOf(last.next));
        }
        // The last line of the file, without a line break: the file still ends without one.
        return bytes.left(pf.byteOf(t.n)) + eol(pf.firstEol) + enc(keyLine) +
               bytes.mid(pf.byteOf(t.n));
    }

    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    QByteArray added;
    if (pf.lastLineStart < 0) {
        added = enc(header) + eol(pf.firstEol) + enc(keyLine) + eol(pf.firstEol);
    } else {
        const qsizetype le = t.contentEnd(pf.lastLineStart);
        const bool broken = le < t.n; // ends with a line break
        const Eol e = broken ? t.eolAt(le) : pf.firstEol;
        if (!broken) added += eol(e);
        if (!isBlankLine<F>(pf, pf.lastLineStart, le)) added += eol(e);
        added += enc(header) + eol(e) + enc(keyLine);
        if (broken) added += eol(e);
    }
    return bytes.left(pf.byteOf(t.n)) + added + bytes.mid(pf.byteOf(t.n));
}

// The encodings a write may use, the one the file suggests first.
std::vector<Codec> writeCodecs(const Parsed& pf) {
    if (pf.form == Form::Utf16LE) return {Codec::Utf16LE};
    if (pf.form == Form::Utf16BE) return {Codec::Utf16BE};
    if (pf.utf8Bom) return {Codec::Utf8};
    if (pf.gbLines > 0 || (pf.ambiguousLines > 0 && pf.utf8Lines == 0))
        return {Codec::Gb, Codec::Utf8};
    return {Codec::Utf8, Codec::Gb};
}

bool settled(const FileStamp& stamp, qint64 now) {
    return now - qMax(stamp.mtimeNs, stamp.ctimeNs) >= RacyWindowNs;
}

std::unique_ptr<Parsed> fromDisk(InputFileStatus status, QByteArray bytes, const FileStamp& stamp,
                                 qint64 readAt) {
    std::unique_ptr<Parsed> pf;
    if (status == InputFileStatus::Ok) {
        pf = parse(std::move(bytes));
        pf->trusted = pf->bytes.size() > MaxRacyCheckBytes || settled(stamp, readAt);
    } else {
        pf = std::make_unique<Parsed>();
        pf->state =
            status == InputFileStatus::Missing ? Parsed::State::Missing : Parsed::State::Unreadable;
    }
    pf->hasStamp = status != InputFileStatus::Missing;
    pf->stamp = stamp;
    return pf;
}

} // namespace

SettingsWriteError::SettingsWriteError(const QString& fullPath)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(fullPath).toStdString()) {}

SettingsFile::SettingsFile(const QString& path) : m_path(path) {}

SettingsFile::~SettingsFile() = default;

const SettingsFile::Parsed& SettingsFile::fresh() const {
    FileStamp now;
    const InputFileStatus seen = StatInputFile(m_path, &now);
    if (seen == InputFileStatus::Missing) {
        if (!m_parsed || m_parsed->state != Parsed::State::Missing)
            m_parsed = std::make_unique<Parsed>();
        return *m_parsed;
    }
    if (seen == InputFileStatus::Unreadable) { // not even its state can be seen
        m_parsed = std::make_unique<Parsed>();
        m_parsed->state = Parsed::State::Unreadable;
        return *m_parsed;
    }
    const bool same = m_parsed && m_parsed->hasStamp && m_parsed->stamp == now;
    if (same && m_parsed->trusted) return *m_parsed;
    if (!same) m_parsed.reset(); // before the new copy is read: a large file is held once

    const qint64 readAt = nowNs();
    QByteArray bytes;
    FileStamp stamp;
    const InputFileStatus status = ReadInputFile(m_path, MaxFileBytes, &bytes, &stamp);
    if (same && status == InputFileStatus::Ok && m_parsed->stamp == stamp &&
        m_parsed->bytes == bytes) {
        m_parsed->trusted = settled(stamp, readAt);
        return *m_parsed;
    }
    m_parsed = fromDisk(status, std::move(bytes), stamp, readAt);
    return *m_parsed;
}

QString SettingsFile::ReadString(const QString& section, const QString& key,
                                 const QString& def) const {
    const Parsed& pf = fresh();
    if (pf.state != Parsed::State::Ok) return def;
    const QString id = section + QChar(u'\x1') + key;
    auto it = pf.remembered.constFind(id);
    if (it == pf.remembered.constEnd()) {
        if (pf.remembered.size() >= MaxRemembered) pf.remembered.clear();
        it = pf.remembered.insert(id, lookup(pf, section, key));
    }
    return it->has_value() ? **it : def;
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
    const QString fullPath = QFileInfo(m_path).absoluteFilePath();

    const Parsed& old = fresh();
    if (old.state == Parsed::State::Unreadable) throw SettingsWriteError(fullPath);

    // The first encoding whose result reads back as written; else the file's own.
    const QString expected = clean.trimmed().left(MaxValueLength);
    std::unique_ptr<Parsed> written;
    for (const Codec codec : writeCodecs(old)) {
        QByteArray bytes = withForm(old.form, [&](auto form) {
            return edit<decltype(form)::value>(old, section, key, clean, codec);
        });
        std::unique_ptr<Parsed> candidate = parse(std::move(bytes));
        if (lookup(*candidate, section, key) == expected) {
            written = std::move(candidate);
            break;
        }
        if (!written) written = std::move(candidate);
    }

    const QString target = ResolveSymlinks(fullPath);
    const bool exists = old.state == Parsed::State::Ok;
    // Read-only marks are honoured even for a privileged user, as on the system the
    // settings files come from; a rename would otherwise replace a read-only file.
    if (exists && !FileIsWritable(target)) throw SettingsWriteError(fullPath);
    int error = 0;
    bool stored = false;
    if (DirectoryAcceptsNewFiles(target)) {
        stored = ReplaceFileAtomically(target, written->bytes, &error, !m_wroteOnce);
        // A full disk, say, is reported; only a directory that takes no new file leaves
        // the way of writing in place.
        if (!stored && (!exists || (error != EACCES && error != EPERM)))
            throw SettingsWriteError(fullPath);
    }
    if (!stored && (!exists || !OverwriteFileInPlace(target, old.bytes, written->bytes, &error)))
        throw SettingsWriteError(fullPath);
    m_wroteOnce = true;

    FileStamp stamp;
    if (StatInputFile(m_path, &stamp) == InputFileStatus::Ok) {
        written->hasStamp = true;
        written->stamp = stamp;
        written->trusted = written->bytes.size() > MaxRacyCheckBytes || settled(stamp, nowNs());
        m_parsed = std::move(written);
    } else {
        m_parsed.reset();
    }
}

void SettingsFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void SettingsFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
