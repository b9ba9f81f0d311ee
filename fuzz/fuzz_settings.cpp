// The settings files as start-up reads them: any bytes as the user's and the machine's INI
// files, read through the registry module into the program's settings.
#include "AppSettings.h"
#include "AppState.h"
#include "FuzzSupport.h"
#include "modRegistry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first byte splits the rest between the two files.
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const qsizetype cut = bytes.isEmpty() ? 0 : qMin<qsizetype>(uchar(bytes[0]), bytes.size() - 1);
    const QString user =
        FuzzSupport::WriteScratchFile(QStringLiteral("user.ini"), bytes.mid(1, cut));
    const QString machine =
        FuzzSupport::WriteScratchFile(QStringLiteral("machine.ini"), bytes.mid(1 + cut));
    {
        AppState state;
        state.UserSettingsFile = user;
        state.MachineSettingsFile = machine;
        modRegistry registry = AppSettings::Registry(state);
        const WindowPlacement placement =
            AppSettings::Load(registry, state, {QRect(0, 0, 19200, 14400)});
        if (placement.Left < 0 || placement.Top < 0 || placement.Width > 19200 ||
            placement.Height > 14400 || placement.State < 0)
            std::abort(); // a placement start-up would not use
        registry.KeyExists(AppSettings::MachineKey);
        registry.GetDword(AppSettings::MachineKey, QStringLiteral("Version"));
        registry.GetString(AppSettings::UserKey, QStringLiteral("LastOpen"));
    }
    return 0;
}
