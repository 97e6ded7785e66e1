#include "settingsfile.h"
#include "smalldisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Text in another encoding, made by iconv rather than by the code under test.
QByteArray iconvTo(const char* encoding, const QString& text) {
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                          QStringLiteral("-t"), QString::fromLatin1(encoding)});
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    if (!iconv.waitForFinished() || iconv.exitCode() != 0) return "iconv failed";
    return iconv.readAllStandardOutput();
}
QByteArray gbk(const QString& text) {
    return iconvTo("GBK", text);
}
QByteArray utf16le(const QString& text) {
    return "\xFF\xFE" + iconvTo("UTF-16LE", text);
}
QByteArray utf16be(const QString& text) {
    return "\xFE\xFF" + iconvTo("UTF-16BE", text);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList leftovers(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("js.ini.*")}, QDir::Files | QDir::Hidden);
}

// A settings file as the dialog and the main window leave it.
QByteArray typicalIni() {
    QByteArray ini = "[System]\r\nStartMode=0\r\nTransParent=255\r\nBKCOLOR=15780518\r\n"
                     "AutoNext=0\r\nLEFT0=412\r\nTOP0=318\r\n"
                     "Sound_Start=C:\\Sounds\\start.wav\r\n[Normal]\r\njsMode=0\r\n"
                     "maohao=1\r\nAutoStop=1\r\nDJS=30\r\nBKCOLOR_Alarm=65535\r\n"
                     "BKCOLOR_over=255\r\n[Hotkey]\r\nstart=Ctrl+Alt+S\r\nstop=F12\r\n"
                     "[Group]\r\n";
    for (int n = 1; n <= 8; ++n)
        ini += "Name" + QByteArray::number(n) + "=Stage " + QByteArray::number(n) + "\r\nTime" +
               QByteArray::number(n) + "=05:00\r\nAlarm" + QByteArray::number(n) + "=04:00\r\n";
    ini += "[AALabel]\r\nFontName=SimSun\r\nFontSize=72\r\n";
    return ini;
}

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("js.ini"));

    void put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

struct IntCase {
    const char* stored;
    int expected;
};

TEST_F(SettingsFileTest, IntegerReadingRules) {
    const IntCase cases[] = {
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"-16777201", -16777201},
        {"$FF00000F", -16777201},
        {"12abc", 7},
        {"", 7},
        {"0x", 7},
        {"$", 7},
        {"-", 7},
        {"2147483647", 2147483647},
        {"2147483648", 7},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", 7},
        {"$FFFFFFFF", -1},
        {"$100000000", 7},
        {"99999999999999999999", 7},
        {"+5", 5},
        {"  42  ", 42},
        {"4 2", 7},
        {"1.5", 7},
    };
    for (const IntCase& c : cases) {
        put(QByteArray("[S]\r\nk=") + c.stored + "\r\n");
        SettingsFile f(path);
        EXPECT_EQ(f.ReadInteger("S", "k", 7), c.expected) << "stored: '" << c.stored << "'";
    }
}

TEST_F(SettingsFileTest, BooleanIsAnyNonZeroNumber) {
    put("[S]\r\ntwo=2\r\nzero=0\r\nyes=yes\r\nhex=$0\r\n");
    SettingsFile f(path);
    EXPECT_TRUE(f.ReadBool("S", "two", false));
    EXPECT_FALSE(f.ReadBool("S", "zero", true));
    EXPECT_TRUE(f.ReadBool("S", "yes", true));
    EXPECT_FALSE(f.ReadBool("S", "yes", false));
    EXPECT_FALSE(f.ReadBool("S", "hex", true));
    EXPECT_TRUE(f.ReadBool("S", "missing", true));
}

TEST_F(SettingsFileTest, MissingFileSectionOrKeyGiveTheDefault) {
    SettingsFile f(path);
    EXPECT_EQ(f.ReadString("System", "BKCOLOR", "d"), "d");
    put("[System]\r\nBKCOLOR=1\r\n");
    EXPECT_EQ(f.ReadString("Normal", "BKCOLOR", "d"), "d");
    EXPECT_EQ(f.ReadString("System", "Other", "d"), "d");
}

TEST_F(SettingsFileTest, TextValuesAreTrimmedCutAndKeepBackslashes) {
    const QByteArray longValue(3000, 'x');
    put("[S]\r\npath= C:\\sounds\\over.wav \r\nlong=" + longValue + "\r\neq=a=b\r\n");
    SettingsFile f(path);
    EXPECT_EQ(f.ReadString("S", "path", ""), "C:\\sounds\\over.wav");
    EXPECT_EQ(f.ReadString("S", "long", "").size(), SettingsFile::MaxValueLength);
    EXPECT_EQ(f.ReadString("S", "eq", ""), "a=b");
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToLetterCase) {
    put("[system]\r\nbkcolor=255\r\n[Normal]\r\nBKCOLOR_Over=65280\r\n");
    SettingsFile f(path);
    EXPECT_EQ(f.ReadInteger("System", "BKCOLOR", 0), 255);
    EXPECT_EQ(f.ReadInteger("SYSTEM", "BKColor", 0), 255);
    EXPECT_EQ(f.ReadInteger("Normal", "BKCOLOR_over", 0), 65280);

    // A write merges into the existing key, which keeps its letter case.
    f.WriteInteger("Normal", "BKCOLOR_over", 16);
    f.WriteInteger("SYSTEM", "StartMode", 1);
    EXPECT_EQ(bytes(), "[system]\r\nbkcolor=255\r\nStartMode=1\r\n[Normal]\r\nBKCOLOR_Over=16\r\n");
}

TEST_F(SettingsFileTest, TheFirstOfEqualNamesCounts) {
    put("[S]\r\n K =1\r\nk=2\r\n;k=c\r\n[s]\r\nk=3\r\n[T]\r\n\xE5\x90\x8D=\xE7\x94\xB2\r\n");
    SettingsFile f(path);
    EXPECT_EQ(f.ReadString("s", "k", ""), "1");
    EXPECT_EQ(f.ReadString("T", QStringLiteral("名"), ""), QStringLiteral("甲"));
    EXPECT_EQ(f.ReadString("S", ";k", "none"), "none");
    f.WriteString("S", "K", "9");
    EXPECT_EQ(bytes(), "[S]\r\n K =9\r\nk=2\r\n;k=c\r\n[s]\r\nk=3\r\n[T]\r\n"
                       "\xE5\x90\x8D=\xE7\x94\xB2\r\n");
}

TEST_F(SettingsFileTest, NewKeysEndTheirSectionAndNewSectionsEndTheFile) {
    SettingsFile f(path);
    f.WriteString("System", "LEFT0", "10");
    f.WriteString("Group", "Name1", "A");
    f.WriteString("System", "TOP0", "20");
    EXPECT_EQ(bytes(), "[System]\r\nLEFT0=10\r\nTOP0=20\r\n\r\n[Group]\r\nName1=A\r\n");
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow) {
    put("[S]\r\nk=1\r\n");
    SettingsFile f(path);
    EXPECT_EQ(f.ReadInteger("S", "k", 0), 1);
    put("[S]\r\nk=2\r\n"); // another program changes the file
    EXPECT_EQ(f.ReadInteger("S", "k", 0), 2);
}

TEST_F(SettingsFileTest, ALineBreakInAValueCannotForgeKeys) {
    SettingsFile f(path);
    f.WriteString("S", "name", "a\r\n[System]\r\nStartMode=3");
    EXPECT_EQ(f.ReadInteger("System", "StartMode", 0), 0);
    EXPECT_EQ(f.ReadString("S", "name", ""), "a  [System]  StartMode=3");
}

// A file written on Chinese Windows (code page 936), made here with iconv.
TEST_F(SettingsFileTest, GbkFileReadsAndIsWrittenBackInGbk) {
    // 乕, 乗 and 乚 end in the bytes of '[', '\' and ']'.
    const QString text =
        QStringLiteral("[Group]\r\nName1=第一阶段乕乗乚\r\n[AALabel]\r\nFontName=宋体\r\n");
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                          QStringLiteral("-t"), QStringLiteral("GBK")});
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    ASSERT_TRUE(iconv.waitForFinished());
    const QByteArray gbk = iconv.readAllStandardOutput();
    ASSERT_TRUE(gbk.contains("\x81\x5c"));
    put(gbk);

    SettingsFile f(path);
    EXPECT_EQ(f.ReadString("Group", "Name1", ""), QStringLiteral("第一阶段乕乗乚"));
    EXPECT_EQ(f.ReadString("aalabel", "fontname", ""), QStringLiteral("宋体"));

    f.WriteString("Group", "Name2", QStringLiteral("阶段2"));
    QByteArray expected = gbk;
    expected.insert(expected.indexOf("\r\n[AALabel]") + 2, QByteArray("Name2=\xbd\xd7\xb6\xce"
                                                                      "2\r\n"));
    EXPECT_EQ(bytes(), expected);
}

TEST_F(SettingsFileTest, Utf8FilesStayUtf8) {
    put("\xEF\xBB\xBF[AALabel]\r\nFontName=\xE5\xAE\x8B\xE4\xBD\x93\r\n");
    SettingsFile f(path);
    EXPECT_EQ(f.ReadString("AALabel", "FontName", ""), QStringLiteral("宋体"));
    f.WriteString("AALabel", "FontName", QStringLiteral("楷体"));
    EXPECT_EQ(bytes(), "\xEF\xBB\xBF[AALabel]\r\nFontName=\xE6\xA5\xB7\xE4\xBD\x93\r\n");

    QFile::remove(path);
    f.WriteString("Group", "Name1", QStringLiteral("阶段"));
    EXPECT_EQ(bytes(), "[Group]\r\nName1=\xE9\x98\xB6\xE6\xAE\xB5\r\n");
}

TEST_F(SettingsFileTest, WriteReplacesTheFileWholeAndKeepsItsPermissions) {
    put("[S]\r\nk=1\r\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    SettingsFile f(path);
    f.WriteInteger("S", "k", 2);
    EXPECT_EQ(bytes(), "[S]\r\nk=2\r\n");
    EXPECT_EQ(QFile::permissions(path) & 0x7077, // owner, group, other
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("js.ini")});
}

TEST_F(SettingsFileTest, RefusedWritesRaiseAndLeaveTheFileAsItWas) {
    const QByteArray original = "[S]\r\nk=1\r\n";
    const auto expectRefused = [](SettingsFile& f, const QString& fullPath) {
        try {
            f.WriteInteger("S", "k", 2);
            ADD_FAILURE() << "write was not refused: " << fullPath.toStdString();
        } catch (const SettingsWriteError& e) {
            EXPECT_EQ(QString::fromStdString(e.what()), "Unable to write to " + fullPath);
        }
    };

    put(original); // a read-only file in a writable directory
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    SettingsFile readOnlyFile(path);
    expectRefused(readOnlyFile, path);
    EXPECT_EQ(bytes(), original);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    const QString sub = dir.filePath(QStringLiteral("ro")); // a read-only directory
    QDir().mkdir(sub);
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner);
    SettingsFile inReadOnlyDir(sub + QStringLiteral("/js.ini"));
    expectRefused(inReadOnlyDir, sub + QStringLiteral("/js.ini"));
    EXPECT_FALSE(QFile::exists(sub + QStringLiteral("/js.ini")));
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    SettingsFile nowhere(QStringLiteral("/proc/pendra-test/js.ini")); // the system says no
    expectRefused(nowhere, QStringLiteral("/proc/pendra-test/js.ini"));
}

struct EditCase {
    const char* name;
    QByteArray before;
    const char* section;
    const char* key;
    QString value;
    QByteArray after;
};

// Whatever a file holds, a write changes the one line of its key (or adds a line or a
// section) and every other byte stays.
TEST_F(SettingsFileTest, AWriteChangesOnlyItsOwnLine) {
    // GBK, a line added by a UTF-8 editor, code page 936's euro sign and a stray byte.
    const QByteArray mixed = "[Group]\r\nName1=" + gbk(QStringLiteral("第一")) +
                             "\r\nName2=" + QStringLiteral("第二").toUtf8() +
                             "\r\nName3=\x80 5\r\n; \xFF\xFE?\r\n[System]\r\nLEFT0=1\r\n";
    const QString utf16Text = QStringLiteral("[Group]\r\nName1=第一\r\n");
    const EditCase cases[] = {
        {"mixed: replace a value elsewhere", mixed, "System", "LEFT0", "2",
         QByteArray(mixed).replace("LEFT0=1", "LEFT0=2")},
        {"mixed: add a key in GBK", mixed, "Group", "Name4", QStringLiteral("阶段"),
         QByteArray(mixed).replace("?\r\n[",
                                   "?\r\nName4=" + gbk(QStringLiteral("阶段")) + "\r\n[")},
        {"mixed: the euro sign as code page 936 writes it", mixed, "group", "name1",
         QStringLiteral("€"),
         QByteArray(mixed).replace("Name1=" + gbk(QStringLiteral("第一")), "Name1=\x80")},
        {"UTF-16 LE keeps its encoding", utf16le(utf16Text), "Group", "Name1",
         QStringLiteral("阶段"), utf16le(QStringLiteral("[Group]\r\nName1=阶段\r\n"))},
        {"UTF-16 BE gets a new section", utf16be(utf16Text), "System", "LEFT0", "5",
         utf16be(utf16Text + QStringLiteral("\r\n[System]\r\nLEFT0=5\r\n"))},
        {"LF line ends and no last line break", "[S]\nk=1\nj=2", "S", "x", "3",
         "[S]\nk=1\nj=2\nx=3"},
        {"CR line ends", "[S]\rk=1\r", "S", "j", "2", "[S]\rk=1\rj=2\r"},
        {"blanks around the old value", "[S]\r\n  Key = old  \r\n", "S", "key", "new",
         "[S]\r\n  Key = new\r\n"},
        {"a blank line before the next section stays", "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n", "A", "j",
         "3", "[A]\r\nk=1\r\nj=3\r\n\r\n[B]\r\nk=2\r\n"},
        {"a new section after a blank last line", "[A]\r\nk=1\r\n\r\n", "B", "k", "2",
         "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n"},
    };
    for (const EditCase& c : cases) {
        put(c.before);
        SettingsFile f(path);
        f.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(bytes(), c.after) << c.name;
        EXPECT_EQ(f.ReadString(c.section, c.key, "?"), c.value) << c.name;
    }
}

struct ReadCase {
    const char* name;
    QByteArray file;
    QString expected; // of [S] k
};

// Without a byte order mark each line shows its encoding; a line of two-byte UTF-8
// sequences only is GBK unless the file's other lines are UTF-8.
TEST_F(SettingsFileTest, EachLineReadsInTheEncodingItShows) {
    const QByteArray gbkLine = "\r\nName1=" + gbk(QStringLiteral("第一阶段")) + "\r\n";
    const QByteArray utf8Line = "\r\nName2=" + QStringLiteral("第二").toUtf8() + "\r\n";
    const ReadCase cases[] = {
        {"GBK that is also valid UTF-8", "[S]\r\nk=" + gbk(QStringLiteral("准时")),
         QStringLiteral("准时")},
        {"one GBK character, valid UTF-8", "[S]\r\nk=" + gbk(QStringLiteral("时")),
         QStringLiteral("时")},
        {"GBK that is no UTF-8", "[S]\r\nk=" + gbk(QStringLiteral("第一阶段")),
         QStringLiteral("第一阶段")},
        {"UTF-8 Chinese", "[S]\r\nk=" + QStringLiteral("准时").toUtf8(), QStringLiteral("准时")},
        {"UTF-8 Chinese, one character", "[S]\r\nk=" + QStringLiteral("时").toUtf8(),
         QStringLiteral("时")},
        {"two-byte UTF-8 in a UTF-8 file",
         "[S]" + utf8Line + "k=" + QStringLiteral("Café").toUtf8(), QStringLiteral("Café")},
        {"GBK beside a UTF-8 line and a GBK one",
         "[S]" + utf8Line + gbkLine + "k=" + gbk(QStringLiteral("准时")), QStringLiteral("准时")},
        {"a UTF-8 line in a GBK file", "[S]" + gbkLine + "k=" + QStringLiteral("准时").toUtf8(),
         QStringLiteral("准时")},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBF[S]\r\nk=" + QStringLiteral("Café").toUtf8(),
         QStringLiteral("Café")},
        {"code page 936 euro sign", "[S]\r\nk=\x80 5", QStringLiteral("€ 5")},
        {"UTF-16 LE", utf16le(QStringLiteral("[S]\r\nk=中文\r\n")), QStringLiteral("中文")},
        {"UTF-16 BE", utf16be(QStringLiteral("[s]\r\nK= 中文 \r\n")), QStringLiteral("中文")},
        {"a broken byte", "[S]\r\nk=a\xFF", QStringLiteral("a\uFFFD")},
    };
    for (const ReadCase& c : cases) {
        put(c.file);
        EXPECT_EQ(SettingsFile(path).ReadString("S", "k", "?"), c.expected) << c.name;
    }
}

// Whatever encoding a file has, what is written reads back as written.
TEST_F(SettingsFileTest, WrittenTextReadsBackInEveryEncoding) {
    const QList<std::pair<const char*, QByteArray>> files = {
        {"no file", {}},
        {"ASCII", "[S]\r\nx=1\r\n"},
        {"GBK", "[S]\r\nx=" + gbk(QStringLiteral("第一阶段")) + "\r\n"},
        {"UTF-8", "[S]\r\nx=" + QStringLiteral("第一阶段").toUtf8() + "\r\n"},
        {"UTF-16 LE", utf16le(QStringLiteral("[S]\r\nx=1\r\n"))},
    };
    const QString values[] = {QStringLiteral("准时"), QStringLiteral("时"),
                              QStringLiteral("Café"), QStringLiteral("€"),
                              QStringLiteral("ΩЖ"),   QStringLiteral("\U0001D11E 乐")};
    for (const auto& [name, content] : files) {
        for (const QString& v : values) {
            QFile::remove(path);
            if (!content.isEmpty()) put(content);
            SettingsFile f(path);
            f.WriteString("S", "k", v);
            EXPECT_EQ(SettingsFile(path).ReadString("S", "k", "?"), v)
                << name << ": " << v.toStdString();
            if (!content.isEmpty()) {
                EXPECT_TRUE(bytes().startsWith(content.left(content.size() - 2))) << name;
            }
        }
    }
}

// Another program's change shows at the next read, even one that keeps the size and puts
// the old modification time back, or one that renames a new file of the same size and time
// over the old one.
TEST_F(SettingsFileTest, AChangeThatKeepsSizeAndTimeStillShows) {
    put("[S]\r\nk=1\r\n");
    SettingsFile f(path);
    EXPECT_EQ(f.ReadInteger("S", "k", 0), 1);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    const timespec times[2] = {before.st_atim, before.st_mtim};

    put("[S]\r\nk=2\r\n"); // same inode, same size
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    EXPECT_EQ(f.ReadInteger("S", "k", 0), 2);

    const QString other = dir.filePath(QStringLiteral("other"));
    putFile(other, "[S]\r\nk=3\r\n");
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(other).constData(), times, 0), 0);
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()),
              0);
    EXPECT_EQ(f.ReadInteger("S", "k", 0), 3);
}

// A full disk: the write is refused and the old file stays, byte for byte.
TEST_F(SettingsFileTest, AFullDiskRaisesAndKeepsTheOldFile) {
    const QString mountPoint = dir.filePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkdir(mountPoint));
    SmallDisk disk(mountPoint, "64k");
    if (!disk.mounted() && disk.notPermitted())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here (" << disk.why()
                     << "); run the tests as root to check writes on a full disk";
    ASSERT_TRUE(disk.mounted()) << disk.why();

    const QString ini = disk.filePath(QStringLiteral("js.ini"));
    const QByteArray original = typicalIni();
    putFile(ini, original);
    ASSERT_TRUE(disk.fill(QStringLiteral("filler")));

    SettingsFile f(ini);
    const auto refused = [&](const char* what, const std::function<void()>& write) {
        EXPECT_THROW(write(), SettingsWriteError) << what;
        EXPECT_EQ(fileBytes(ini), original) << what;
        EXPECT_EQ(leftovers(mountPoint), QStringList()) << what;
    };
    refused("the position at close", [&] { f.WriteInteger("System", "LEFT0", 1234); });
    refused("a new section", [&] { f.WriteString("Progress", "Caption", "x"); });
    refused("a shorter value", [&] { f.WriteString("AALabel", "FontName", ""); });

    QFile::remove(disk.filePath(QStringLiteral("filler")));
    f.WriteInteger("System", "LEFT0", 1234);
    EXPECT_EQ(fileBytes(ini), QByteArray(original).replace("LEFT0=412", "LEFT0=1234"));
}

// js.ini exists but cannot be read: reads give the defaults, and it is never replaced.
TEST_F(SettingsFileTest, AFileThatCannotBeReadIsNeverReplaced) {
    const auto neverWritten = [&](const char* what) {
        SettingsFile f(path);
        EXPECT_EQ(f.ReadInteger("System", "LEFT0", -7), -7) << what;
        EXPECT_THROW(f.WriteInteger("System", "LEFT0", 1), SettingsWriteError) << what;
    };

    ASSERT_TRUE(QDir().mkdir(path));
    neverWritten("a directory");
    EXPECT_TRUE(QFileInfo(path).isDir());
    ASSERT_TRUE(QDir().rmdir(path));

    // A FIFO with no writer: opening it for reading the ordinary way blocks for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    ::alarm(60); // a hang ends the test program instead of stalling the run
    neverWritten("a FIFO");
    ::alarm(0);
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    QFile::remove(path);

    // No read permission, in a directory where anyone may create files.
    const QByteArray original = typicalIni();
    put(original);
    QFile::setPermissions(path, QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                                    QFileDevice::WriteOther);
    QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777));
    if (::geteuid() != 0) {
        neverWritten("no read permission");
    } else {
        // Root reads anything: check it as an ordinary user in a child process.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            SettingsFile f(path);
            if (f.ReadInteger("System", "LEFT0", -7) != -7) ::_exit(3);
            try {
                f.WriteInteger("System", "LEFT0", 1);
                ::_exit(4);
            } catch (const SettingsWriteError&) {
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "2: no user to switch to, 3: read, 4: written";
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(leftovers(dir.path()), QStringList());
}

// A file above the size limit is not read, and never written.
TEST_F(SettingsFileTest, AnOversizedFileReadsAsEmptyAndStays) {
    put("[System]\r\nLEFT0=5\r\n");
    ASSERT_TRUE(QFile::resize(path, SettingsFile::MaxFileBytes + 1)); // sparse: no real bytes
    SettingsFile f(path);
    EXPECT_EQ(f.ReadInteger("System", "LEFT0", -7), -7);
    EXPECT_THROW(f.WriteInteger("System", "LEFT0", 1), SettingsWriteError);
    EXPECT_EQ(QFileInfo(path).size(), SettingsFile::MaxFileBytes + 1);
    EXPECT_TRUE(bytes().startsWith("[System]\r\nLEFT0=5\r\n"));
}

// A directory that takes no new file: a writable js.ini in it is rewritten in place, a
// read-only one is refused.
TEST_F(SettingsFileTest, AWritableFileInAReadOnlyDirectoryIsWrittenInPlace) {
    const QString sub = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString ini = sub + QStringLiteral("/js.ini");
    const QByteArray original = typicalIni();
    putFile(ini, original);
    const auto inode = [&] {
        struct stat st {};
        return ::stat(QFile::encodeName(ini).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const auto before = inode();
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    SettingsFile f(ini);
    f.WriteInteger("System", "LEFT0", 123456); // longer
    f.WriteString("AALabel", "FontName", "");  // shorter
    QByteArray expected = original;
    expected.replace("LEFT0=412", "LEFT0=123456").replace("FontName=SimSun", "FontName=");
    EXPECT_EQ(fileBytes(ini), expected);
    EXPECT_EQ(inode(), before);

    QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_THROW(f.WriteInteger("System", "LEFT0", 1), SettingsWriteError);
    EXPECT_EQ(fileBytes(ini), expected);
    QFile::setPermissions(sub,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A writer killed in the middle leaves its temporary file; the next write removes it, but
// not the one of a writer still at work, nor a file of the user's.
TEST_F(SettingsFileTest, LeftoversOfAKilledWriterAreRemovedAtTheNextWrite) {
    const QByteArray filler = "; " + QByteArray(256 * 1024, '-') + "\r\n";
    put("[System]\r\nLEFT0=0\r\n" + filler);
    // Kill a writer at random moments until some temporaries are left behind.
    for (int round = 0; round < 400 && leftovers(dir.path()).isEmpty(); ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SettingsFile f(path);
            for (int i = 1;; ++i)
                f.WriteInteger("System", "LEFT0", i);
        }
        ::usleep(static_cast<useconds_t>(2000 + (round * 7919) % 20000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        // Whenever it died, the file is whole: the old or a new version.
        const QByteArray now = bytes();
        EXPECT_TRUE(now.startsWith("[System]\r\nLEFT0=") && now.endsWith(filler)) << round;
    }
    const QStringList killed = leftovers(dir.path());
    ASSERT_FALSE(killed.isEmpty()) << "no write was ever interrupted";

    const QString busy = dir.filePath(QStringLiteral("js.ini.pendra-Busy01"));
    putFile(busy, "in progress");
    const int busyFd = ::open(QFile::encodeName(busy).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(busyFd, LOCK_EX), 0);
    const QString users = dir.filePath(QStringLiteral("js.ini.backup"));
    putFile(users, "mine");

    SettingsFile f(path);
    f.WriteInteger("System", "LEFT0", -1);
    EXPECT_EQ(leftovers(dir.path()), QStringList({QStringLiteral("js.ini.backup"),
                                                  QStringLiteral("js.ini.pendra-Busy01")}));
    EXPECT_EQ(bytes(), "[System]\r\nLEFT0=-1\r\n" + filler);
    ::close(busyFd);
}

} // namespace
