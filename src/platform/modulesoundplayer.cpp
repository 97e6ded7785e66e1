#include "modulesoundplayer.h"

#include "exepath.h"
#include "soundmodule.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

class ModuleSoundPlayer final : public SoundPlayer {
public:
    ModuleSoundPlayer(const PendraSoundModule& module, void* player)
        : m_module(module), m_player(player) {}
    ~ModuleSoundPlayer() override { m_module.destroy(m_player); }
    void play(const QString& file) override {
        m_module.play(m_player, reinterpret_cast<const char16_t*>(file.utf16()),
                      static_cast<std::size_t>(file.size()));
    }

private:
    const PendraSoundModule& m_module;
    void* m_player;
};

// The module stays loaded for the life of the process: GStreamer and Qt Multimedia cannot
// be torn down and brought up again safely.
const PendraSoundModule* loadModule() {
    for (const QString& path : SoundModuleCandidates()) {
        if (!QFileInfo(path).isFile()) continue;
        QLibrary library(path);
        if (!library.load()) continue;
        using Entry = const PendraSoundModule* (*)();
        const auto entry = reinterpret_cast<Entry>(library.resolve(SoundModuleSymbol));
        const PendraSoundModule* module = entry ? entry() : nullptr;
        if (module && module->version == SoundModuleVersion && module->create && module->play &&
            module->destroy)
            return module;
        library.unload(); // not ours, or of another build
    }
    return nullptr;
}

} // namespace

QStringList SoundModuleCandidates() {
    QStringList paths;
    // Never a path relative to the current directory, which is wherever js.ini is.
    const QString exeDir = ExeDir();
    if (QFileInfo(exeDir).isAbsolute()) {
        paths << exeDir + QLatin1String(SoundModuleFileName);
#ifdef PENDRA_MODULE_DIR_FROM_BIN
        paths << QDir::cleanPath(exeDir + QStringLiteral(PENDRA_MODULE_DIR_FROM_BIN "/") +
                                 QLatin1String(SoundModuleFileName));
#endif
    }
#ifdef PENDRA_MODULE_DIR
    paths << QStringLiteral(PENDRA_MODULE_DIR "/") + QLatin1String(SoundModuleFileName);
#endif
    return paths;
}

std::unique_ptr<SoundPlayer> LoadMediaSoundPlayer() {
    static const PendraSoundModule* const module = loadModule();
    if (!module) return nullptr;
    void* player = module->create();
    if (!player) return nullptr;
    return std::make_unique<ModuleSoundPlayer>(*module, player);
}
