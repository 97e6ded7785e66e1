#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

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

} // namespace
