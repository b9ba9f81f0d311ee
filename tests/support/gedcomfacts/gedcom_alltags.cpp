// gedcom_alltags [--7] FILE: writes the generated GEDCOM file that holds every tag the
// genealogical model knows (5.5.1, or 7.0 with --7).
#include "AllTagsFile.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool version7 = arguments.removeAll(QStringLiteral("--7")) > 0;
    QTextStream err(stderr);
    if (arguments.size() != 1 || arguments.front().startsWith(QLatin1Char('-'))) {
        err << "usage: gedcom_alltags [--7] FILE\n";
        return 2;
    }
    QSaveFile file(arguments.front());
    if (!file.open(QIODevice::WriteOnly) || file.write(GedcomFacts::allTagsFile(version7)) < 0 ||
        !file.commit()) {
        err << "gedcom_alltags: " << arguments.front() << ": " << file.errorString() << '\n';
        return 1;
    }
    return 0;
}
