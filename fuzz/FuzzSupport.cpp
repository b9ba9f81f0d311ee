#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdlib>

namespace FuzzSupport {

void InitApplication(int *argc, char ***argv, bool gui)
{
    // libFuzzer's own options stay in argv; Qt must not see them. The application object is
    // made here, after Qt's own statics, so that it goes before them when the process ends.
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    (void)argc;
    if (gui) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication application(qtArgc, qtArgv);
    } else {
        static QCoreApplication application(qtArgc, qtArgv);
    }
}

QString ScratchFolder()
{
    static const QString folder = [] {
        const QString memory = QStringLiteral("/dev/shm");
        const QString base =
            QFileInfo(memory).isDir() && QFileInfo(memory).isWritable() ? memory : QDir::tempPath();
        static QTemporaryDir scratch(base + QStringLiteral("/vt-fuzz-XXXXXX"));
        if (!scratch.isValid())
            std::abort();
        return scratch.path() + QLatin1Char('/');
    }();
    return folder;
}

QString WriteScratchFile(const QString &name, const QByteArray &bytes)
{
    const QString path = ScratchFolder() + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort(); // the scratch folder must work, or nothing is tested
    return path;
}

} // namespace FuzzSupport
