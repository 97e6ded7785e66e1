// The real sound player against the PulseAudio null sink that run-under-x11.sh starts:
// what reaches the sink's monitor is what a listener would hear.
#include "modulesoundplayer.h"
#include "platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool WaitUntil(const std::function<bool()>& done, int msecs) {
    for (int waited = 0; waited < msecs; waited += 20) {
        if (done()) return true;
        QTest::qWait(20);
    }
    return done();
}

QString Pactl(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Records the null sink's monitor. The monitor only delivers data while something plays.
class MonitorRecorder {
public:
    MonitorRecorder() {
        m_parec.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput,
                         [this] { m_data += m_parec.readAllStandardOutput(); });
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("--device=nullsink.monitor"), QStringLiteral("--raw"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                       QStringLiteral("--rate=22050")});
        // Recording has begun once the server lists our stream.
        m_ready = m_parec.waitForStarted(5000) &&
                  WaitUntil(
                      [] {
                          return !Pactl({"list", "short", "source-outputs"}).isEmpty();
                      },
                      5000);
    }
    ~MonitorRecorder() {
        m_parec.kill();
        m_parec.waitForFinished(2000);
    }
    bool ready() const { return m_ready; }
    int peak() const {
        int peak = 0;
        const auto* samples = reinterpret_cast<const qint16*>(m_data.constData());
        for (qsizetype i = 0; i < m_data.size() / 2; ++i)
            peak = std::max(peak, std::abs(int(qFromLittleEndian(samples[i]))));
        return peak;
    }

private:
    QProcess m_parec;
    QByteArray m_data;
    bool m_ready = false;
};

// The media module's player, loaded as the program loads it at its first cue.
std::unique_ptr<SoundPlayer> LoadPlayer() {
    if (auto player = LoadMediaSoundPlayer()) return player;
    ADD_FAILURE() << "the media module was not found in "
                  << SoundModuleCandidates().join(", ").toStdString();
    return std::make_unique<SilentSoundPlayer>();
}

// Whether Qt Multimedia or GStreamer is mapped into this process.
bool MediaLibrariesMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return true; // cannot tell: fail the checks
    const QByteArray all = maps.readAll();
    return all.contains("libQt6Multimedia") || all.contains("libgst");
}

bool HaveSoundServer() {
    return !Pactl({"list", "short", "sinks"}).isEmpty();
}

int SinkInputs() {
    const QString list = Pactl({"list", "short", "sink-inputs"});
    return list.isEmpty() ? 0 : int(list.count(QLatin1Char('\n'))) + 1;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A 16-bit mono PCM wave file with a sine tone, its RIFF header written out field by field.
QByteArray WaveFile(double seconds, double frequency) {
    const quint32 rate = 22050;
    const quint32 samples = quint32(seconds * rate);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + samples * 2);
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
      << quint16(16);
    s.writeRawData("data", 4);
    s << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i)
        s << qint16(12000 * std::sin(2 * M_PI * frequency * i / rate));
    return out;
}

// A format-0 standard MIDI file holding an organ chord of the given number of quarter notes
// (half a second each at the default tempo). An organ holds its level where a piano fades.
QByteArray MidiFile(int quarters) {
    const auto vlq = [](quint32 v) {
        QByteArray b(1, char(v & 0x7f));
        while (v >>= 7)
            b.prepend(char((v & 0x7f) | 0x80));
        return b;
    };
    const char notes[] = {48, 60, 64, 67, 72};
    QByteArray track = vlq(0) + QByteArray("\xC0\x10", 2); // program change: drawbar organ
    for (char n : notes)
        track += vlq(0) + QByteArray("\x90", 1) + n + '\x7f'; // note on, full velocity
    for (qsizetype i = 0; i < qsizetype(sizeof notes); ++i)
        track += vlq(i == 0 ? 480 * quarters : 0) + QByteArray("\x80", 1) + notes[i] + '\0';
    track += vlq(0) + QByteArray("\xFF\x2F\x00", 3); // end of track
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.writeRawData("MThd", 4);
    s << quint32(6) << quint16(0) << quint16(1) << quint16(480);
    s.writeRawData("MTrk", 4);
    s << quint32(track.size());
    out += track;
    return out;
}

// Windows Media audio made by GStreamer's own encoder and ASF muxer.
bool MakeWmaFile(const QString& path, double seconds) {
    QProcess p;
    p.start(QStringLiteral("gst-launch-1.0"),
            {"-q", "audiotestsrc", QStringLiteral("num-buffers=%1").arg(int(seconds * 43)),
             "volume=0.5", "!", "audioconvert", "!", "avenc_wmav2", "!", "asfmux", "!", "filesink",
             "location=" + path});
    return p.waitForFinished(30000) && p.exitCode() == 0 && QFile(path).size() > 0;
}

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // run-under-x11.sh provides the server; without it these tests would prove nothing.
        ASSERT_TRUE(HaveSoundServer()) << "no PulseAudio server with a null sink";
        ASSERT_TRUE(m_dir.isValid());
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

struct AudibleCase {
    const char* name;
    std::function<bool(const QString&)> make;
};

TEST_F(SoundPlayerTest, EachFileKindIsHeardAfterPlayHasReturned) {
    const AudibleCase cases[] = {
        {"tone.wav",
         [](const QString& p) {
             WriteFile(p, WaveFile(3, 440));
             return true;
         }},
        {"note.mid",
         [](const QString& p) {
             WriteFile(p, MidiFile(6));
             return true;
         }},
        {"tone.wma", [](const QString& p) { return MakeWmaFile(p, 3); }},
    };
    for (const AudibleCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.make(path(c.name)));
        const auto player = LoadPlayer();
        player->play(path(c.name));
        // Recording starts only after play() came back; the sound is three seconds long, so
        // hearing it proves that play() did not wait for it.
        MonitorRecorder recorder;
        ASSERT_TRUE(recorder.ready());
        EXPECT_TRUE(WaitUntil([&] { return recorder.peak() > 1000; }, 10000))
            << "peak " << recorder.peak();
        EXPECT_TRUE(WaitUntil([] { return SinkInputs() == 0; }, 10000));
    }
}

TEST_F(SoundPlayerTest, RelativePathIsTakenFromTheCurrentDirectory) {
    WriteFile(path("rel.wav"), WaveFile(2, 660));
    const QString old = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    const auto player = LoadPlayer();
    player->play(QStringLiteral("rel.wav"));
    QDir::setCurrent(old);
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.ready());
    EXPECT_TRUE(WaitUntil([&] { return recorder.peak() > 1000; }, 10000));
}

TEST_F(SoundPlayerTest, UnplayableCuesStaySilent) {
    WriteFile(path("garbage.wav"), QByteArray(4096, '\x5a'));
    WriteFile(path("empty.mid"), QByteArray());
    WriteFile(path("truncated.wma"), QByteArray("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.wav"));
    const QString cues[] = {QString(),           QStringLiteral("   "), path("missing.wav"),
                            path("garbage.wav"), path("empty.mid"),     path("truncated.wma"),
                            path("folder.wav")};
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.ready());
    const auto player = LoadPlayer();
    for (const QString& cue : cues)
        player->play(cue);
    QTest::qWait(1500); // long enough for any of them to have started
    EXPECT_EQ(recorder.peak(), 0);
    // The player is still usable after the failures.
    WriteFile(path("ok.wav"), WaveFile(1, 440));
    player->play(path("ok.wav"));
    EXPECT_TRUE(WaitUntil([&] { return recorder.peak() > 1000; }, 10000));
}

TEST_F(SoundPlayerTest, NewCueReplacesThePlayingOne) {
    WriteFile(path("long.wav"), WaveFile(30, 440));
    WriteFile(path("short.wav"), WaveFile(0.3, 880));
    const auto player = LoadPlayer();
    player->play(path("long.wav"));
    ASSERT_TRUE(WaitUntil([] { return SinkInputs() == 1; }, 10000));
    player->play(path("short.wav"));
    // The long sound would keep a stream open for half a minute; once the short one is
    // over, nothing may be left playing.
    EXPECT_TRUE(WaitUntil([] { return SinkInputs() == 0; }, 10000));
}

TEST_F(SoundPlayerTest, MissingFileLeavesThePlayingCueAlone) {
    WriteFile(path("long.wav"), WaveFile(30, 440));
    const auto player = LoadPlayer();
    player->play(path("long.wav"));
    ASSERT_TRUE(WaitUntil([] { return SinkInputs() == 1; }, 10000));
    player->play(path("missing.wav"));
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.ready());
    EXPECT_TRUE(WaitUntil([&] { return recorder.peak() > 1000; }, 10000));
}

// The body of the test below, run in a child process that cannot reach a sound server.
TEST(SoundPlayerWithoutServer, ChildPlaysCues) {
    const QString dir = qEnvironmentVariable("PENDRA_SOUND_CHILD_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "runs only as the child of CuesAreSilentAndHarmless";
    const auto player = LoadPlayer();
    for (const char* name : {"tone.wav", "note.mid", "tone.wav"})
        player->play(QDir(dir).filePath(QString::fromLatin1(name)));
    QTest::qWait(1500); // let the players fail in their own time
}

TEST(SoundPlayerWithoutServer, CuesAreSilentAndHarmless) {
    if (!qEnvironmentVariableIsEmpty("PENDRA_SOUND_CHILD_DIR")) GTEST_SKIP();
    QTemporaryDir dir;
    WriteFile(dir.filePath("tone.wav"), WaveFile(1, 440));
    WriteFile(dir.filePath("note.mid"), MidiFile(2));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PENDRA_SOUND_CHILD_DIR", dir.path());
    env.insert("PULSE_SERVER", "unix:" + dir.filePath("no-server"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=SoundPlayerWithoutServer.ChildPlaysCues"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[       OK ] SoundPlayerWithoutServer.ChildPlaysCues"))
        << output.toStdString();
}

// The media back end is loaded only for a cue with a file to play, or when a run with
// sounds asks for it; a timer without sounds never pays for it.
TEST_F(SoundPlayerTest, FactoryPlayerLoadsTheBackEndOnlyWhenACueNeedsIt) {
    auto made = CreateSoundPlayer();
    auto* player = dynamic_cast<DeferredSoundPlayer*>(made.get());
    ASSERT_NE(player, nullptr);
    player->play(QString());
    player->play(path("missing.wav"));
    EXPECT_FALSE(player->isPrepared());

    WriteFile(path("tone.wav"), WaveFile(2, 440));
    player->play(path("tone.wav"));
    EXPECT_TRUE(player->isPrepared());
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.ready());
    EXPECT_TRUE(WaitUntil([&] { return recorder.peak() > 1000; }, 10000));

    auto other = CreateSoundPlayer();
    other->prepare();
    EXPECT_TRUE(dynamic_cast<DeferredSoundPlayer*>(other.get())->isPrepared());
}

// The body of the two tests below, run in a child process so that no earlier test has
// loaded the module already. PENDRA_MAPS_EXPECT_MODULE says whether the child's copy of
// the program has the module beside it.
TEST(SoundModuleMapping, ChildPlaysACue) {
    const QString dir = qEnvironmentVariable("PENDRA_MAPS_CHILD_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "runs only as the child of the tests below";
    const bool expectModule = qEnvironmentVariable("PENDRA_MAPS_EXPECT_MODULE") == "1";
    EXPECT_FALSE(MediaLibrariesMapped()) << "mapped at start-up";
    auto player = CreateSoundPlayer();
    player->play(QString());
    player->play(QDir(dir).filePath("missing.wav"));
    EXPECT_FALSE(MediaLibrariesMapped()) << "mapped for a cue without a file";
    player->play(QDir(dir).filePath("tone.wav"));
    EXPECT_EQ(MediaLibrariesMapped(), expectModule);
    QTest::qWait(2500); // the tone's two seconds, played or not
}

class SoundModuleMappingTest : public SoundPlayerTest {
protected:
    // Runs ChildPlaysACue in the executable at program; returns the child's output. The
    // event loop runs meanwhile, so a MonitorRecorder of the caller hears the child.
    QByteArray runChild(const QString& program, bool expectModule) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PENDRA_MAPS_CHILD_DIR", m_dir.path());
        env.insert("PENDRA_MAPS_EXPECT_MODULE", expectModule ? "1" : "0");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(program, {"--gtest_filter=SoundModuleMapping.ChildPlaysACue"});
        EXPECT_TRUE(WaitUntil([&] { return child.state() == QProcess::NotRunning; }, 60000));
        const QByteArray output = child.readAll();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[       OK ] SoundModuleMapping.ChildPlaysACue"))
            << output.toStdString();
        return output;
    }
};

TEST_F(SoundModuleMappingTest, MediaLibrariesAreMappedOnlyAtTheFirstCueWithAFile) {
    ASSERT_TRUE(QFileInfo::exists(SoundModuleCandidates().first()));
    WriteFile(path("tone.wav"), WaveFile(2, 440));
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.ready());
    runChild(QCoreApplication::applicationFilePath(), true);
    EXPECT_TRUE(WaitUntil([&] { return recorder.peak() > 1000; }, 10000));
}

TEST_F(SoundModuleMappingTest, MissingModuleMeansSilenceWithoutAMessage) {
    // A copy of this program in a folder without the module: it looks beside itself first,
    // then in the install folder, where a build tree has none either.
    for (const QString& candidate : SoundModuleCandidates().mid(1))
        if (QFileInfo::exists(candidate))
            GTEST_SKIP() << "a module is installed at " << candidate.toStdString();
    const QString copy = path("lonely_test");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    ASSERT_TRUE(
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    WriteFile(path("tone.wav"), WaveFile(2, 440));
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.ready());
    const QByteArray output = runChild(copy, false);
    EXPECT_FALSE(output.contains("pendra_mediasound")) << output.toStdString();
    QTest::qWait(500);
    EXPECT_EQ(recorder.peak(), 0);
}

} // namespace
