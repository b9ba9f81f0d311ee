// Prints what one save of the details window costs on trees of growing size: every person with a
// birth, an occupation and a residence (dates, places, a citation each), couples in families with
// two children. The details window reads the tree whole and writes back what changed in one
// transaction, checked against the versions of the persons and records as read:
//
//  - read: ModelEdit::readForEdit (the versions, the rows and every record);
//  - draft: the person's records made editable and given back (PersonDraft, result());
//  - save: ModelEdit::applyEdit of one new event (the check of rows and records, the versions
//    again, the rows and the records written).
//
//   bench_details [persons...]      (default 1000 10000 100000)
//
// Figures in milliseconds; the database lies in a temporary folder.
#include "ModelEdit.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "PersonDraft.h"
#include "mDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace Genealogy;

namespace {

ModelSlice generated(int persons)
{
    ModelSlice tree;
    TreeModel &m = tree.model;
    Source source;
    source.title = m.text(QStringView(u"Parish register"));
    const quint32 s = m.sources.add(source);
    for (int p = 0; p < persons; ++p) {
        PersonRecord row;
        row.ID = QStringLiteral("I%1").arg(p + 1);
        row.Fname = QStringLiteral("Given%1").arg(p % 97);
        row.Sname = QStringLiteral("Family%1").arg(p % 31);
        row.PrntKey = p < 2 ? QStringLiteral("ROOT") : QStringLiteral("I%1").arg((p / 4) * 2 + 1);
        row.Bdate = QStringLiteral("%1 MAR %2").arg(1 + p % 28).arg(1700 + p % 250);
        row.Bplace = QStringLiteral("Town %1").arg(p % 40);
        tree.rows.push_back(row);
        PersonSide side;
        side.sex = p % 2 ? Sex::Female : Sex::Male;
        m.persons.add(side);
        for (const char *tag : {"OCCU", "RESI"}) {
            Event event;
            event.owner = Ref(Kind::Person, quint32(p));
            event.type = EventTypes::find(tag, false);
            event.date = m.text(QString::number(1720 + p % 250));
            event.place = m.place(QByteArray("Town ") + QByteArray::number(p % 40));
            const quint32 e = m.events.add(event);
            Citation citation;
            citation.owner = Ref(Kind::Event, e);
            citation.source = s;
            citation.page = m.text(QStringLiteral("p. %1").arg(p % 500));
            m.citations.add(citation);
        }
    }
    // Couples: persons 2k and 2k+1, the children those whose parent key names 2k.
    for (int p = 0; p + 1 < persons; p += 2) {
        Family family;
        family.partner[0] = quint32(p);
        family.partner[1] = quint32(p + 1);
        const quint32 f = m.families.add(family);
        m.partnerships.add({quint32(p), f});
        m.partnerships.add({quint32(p + 1), f});
        tree.rows[size_t(p)].PrtFname = tree.rows[size_t(p + 1)].Fname;
        tree.rows[size_t(p)].PrtSname = tree.rows[size_t(p + 1)].Sname;
        tree.rows[size_t(p + 1)].PrtFname = tree.rows[size_t(p)].Fname;
        tree.rows[size_t(p + 1)].PrtSname = tree.rows[size_t(p)].Sname;
        tree.rows[size_t(p + 1)].PrntKey.clear();
    }
    for (int c = 2; c < persons; c += 2) {
        const int parent = (c / 4) * 2;
        ChildLink link;
        link.family = quint32(parent / 2);
        link.child = quint32(c);
        m.childLinks.add(link);
    }
    return tree;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLocal8Bit(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {1000, 10000, 100000};
    std::printf("%10s %10s %10s %10s\n", "persons", "read ms", "draft ms", "save ms");
    for (int persons : sizes) {
        QTemporaryDir dir;
        mDatabase store;
        store.SetPaths(dir.path() + '/', dir.filePath("people.db"));
        if (!store.OpenDatabase())
            return 1;
        const ModelSlice tree = generated(persons);
        NewTreeWriter writer(store);
        if (!writer.Begin("Big"))
            return 1;
        for (const PersonRecord &row : tree.rows)
            if (!writer.Add(row))
                return 1;
        if (!ModelStore::writeModelInTransaction(store, "Big", tree.rows, tree.model) ||
            !writer.Commit())
            return 1;

        const QString key = QStringLiteral("I%1").arg(persons / 2 + 1);
        QElapsedTimer timer;
        timer.start();
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(store, "Big", key);
        const qint64 readMs = timer.restart();
        if (!read)
            return 1;
        PersonDraft draft(read->tree);
        PersonDraft::EventFields baptism;
        baptism.type = EventTypes::find("BAPM", false);
        baptism.date = QStringLiteral("ABT 1850");
        baptism.place = QStringLiteral("Lund");
        draft.addEvent(Ref(Kind::Person, draft.person()), baptism);
        const ModelSlice result = draft.result();
        const qint64 draftMs = timer.restart();
        const Result<void> saved = ModelEdit::applyEdit(store, "Big", *read, result);
        const qint64 saveMs = timer.elapsed();
        if (!saved) {
            std::fprintf(stderr, "%s\n", qPrintable(saved.error().text()));
            return 1;
        }
        std::printf("%10d %10lld %10lld %10lld\n", persons, readMs, draftMs, saveMs);
    }
    return 0;
}
