// The child of the crash test: runs the write script on the database in a data folder and tells
// the test which operation begins, with one write of its number to the standard output before
// each. The test kills it at one of its file writes.
//
//   faults_writer <data folder/> <GEDCOM file>
#include "mDatabase.h"
#include "support_WriteScript.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: faults_writer <data folder/> <GEDCOM file>\n");
        return 2;
    }
    const QString dataPath = QString::fromLocal8Bit(argv[1]);
    const QString gedcomFile = QString::fromLocal8Bit(argv[2]);
    mDatabase store;
    store.SetPaths(dataPath, dataPath + QStringLiteral("people.db"));
    if (!store.OpenDatabase()) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(store.OpenError().text()));
        return 3;
    }
    const QList<WriteScript::Operation> operations = WriteScript::Operations(dataPath, gedcomFile);
    for (qsizetype i = 0; i < operations.size(); ++i) {
        const QByteArray marker = QByteArray::number(i + 1) + '\n';
        if (::write(STDOUT_FILENO, marker.constData(), size_t(marker.size())) < 0)
            return 4;
        if (const Error error = operations[i].run(store).error()) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(operations[i].name),
                         qPrintable(error.text()));
            return 5;
        }
    }
    return 0;
}
