// Stored side records as a damaged or hostile file may hold them, decoded into a model as a tree
// is read: every record that decodes, with no link to a record that is not there, gives a model
// every reader can walk (the tree check, a person's facts, both GEDCOM writers), and encoding it
// and decoding that again gives the same records.
//
// Input: a byte of persons (rows K0, K1...), a byte of flags (1: each record gives its stored
// number, else they are numbered in the order they come; 2: persons not known are learnt as the
// family reader learns them), then records: the table, the size (2 bytes, little-endian), the
// stored number (2 bytes, with flag 1) and the fields.
#include "FuzzSupport.h"
#include "ModelExport.h"
#include "PersonFacts.h"
#include "RecordSet.h"
#include "TreeCheck.h"

#include <cstdio>
#include <cstdlib>

using namespace Genealogy;
using namespace Store::Side;

namespace {

struct Input
{
    std::vector<PersonRow> rows;
    bool learn = false;
    RecordSet set;
};

quint16 le16(const uint8_t *p)
{
    return quint16(p[0] | (p[1] << 8));
}

Input parse(const uint8_t *data, size_t size)
{
    Input in;
    if (size < 2)
        return in;
    in.rows.resize(data[0] % 64);
    for (size_t i = 0; i < in.rows.size(); ++i)
        in.rows[i].ID = QStringLiteral("K%1").arg(i);
    const bool numbered = data[1] & 1;
    in.learn = data[1] & 2;
    qint64 next[kTabCount] = {};
    size_t at = 2;
    while (at + (numbered ? 5 : 3) <= size) {
        const int tab = data[at] % kTabCount;
        const size_t length = le16(data + at + 1);
        at += 3;
        qint64 number = next[tab]++;
        if (numbered) {
            number = le16(data + at);
            at += 2;
        }
        const size_t take = std::min(length, size - at);
        // The first record of a number is the one read, as the reader keeps it.
        in.set.tabs[tab].emplace(
            number, QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(take)));
        at += take;
    }
    return in;
}

QHash<QByteArray, quint32> personIndexes(const std::vector<PersonRow> &rows)
{
    QHash<QByteArray, quint32> persons;
    for (size_t i = 0; i < rows.size(); ++i)
        persons.insert(rows[i].ID.toUtf8(), quint32(i));
    return persons;
}

// Every record of the model as the store writes it, by table.
RecordSet encodeAll(const TreeModel &model, const std::vector<PersonRow> &rows)
{
    std::vector<QByteArray> keys;
    for (const PersonRow &row : rows)
        keys.push_back(row.ID.toUtf8());
    const RecordEncoder encoder(model, keys);
    const quint32 sizes[kTabCount] = {
        1,
        model.persons.size(),
        model.names.size(),
        model.events.size(),
        model.eventDetails.size(),
        model.addresses.size(),
        model.places.size(),
        model.families.size(),
        model.partnerships.size(),
        model.childLinks.size(),
        model.associations.size(),
        model.sources.size(),
        model.repositoryLinks.size(),
        model.repositories.size(),
        model.citations.size(),
        model.notes.size(),
        model.noteLinks.size(),
        model.media.size(),
        model.mediaLinks.size(),
        model.kept.size(),
        model.keptLines.size(),
        model.noteBreaks.size(),
    };
    RecordSet set;
    for (int t = 0; t < kTabCount; ++t) {
        for (quint32 i = 0; i < sizes[t]; ++i)
            set.tabs[t].emplace(i, encoder.encode(Tab(t), i));
    }
    return set;
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = parse(data, size);
    ModelSlice slice;
    slice.rows = in.rows;
    slice.model.persons.resize(in.rows.size());
    RecordDecoder decoder(slice.model, personIndexes(in.rows));
    if (in.learn)
        decoder.learnPersons();
    QStringList problems;
    decoder.reportLinks(&problems);
    const bool decoded = in.set.decodeInto(decoder);
    if (in.learn) {
        for (const QByteArray &key : decoder.learnedKeys()) {
            PersonRow row;
            row.ID = QString::fromUtf8(key);
            slice.rows.push_back(row);
        }
        slice.model.persons.resize(slice.rows.size());
    }
    // The reader refuses a tree with a record that is not one or a link to nothing.
    if (!decoded || decoder.brokenLinks() > 0 || slice.model.isFull())
        return 0;
    TreeModel &model = slice.model;

    (void)checkTree(slice.rows, model);
    for (quint32 p = 0; p < slice.rows.size() && p < 4; ++p) {
        slice.person = p;
        (void)factLines(personFacts(slice));
    }
    QList<PersonRecord> records;
    for (const PersonRow &row : slice.rows) {
        PersonRecord r;
        r.ID = row.ID;
        records.append(r);
    }
    for (const Gedcom::Version version : {Gedcom::Version::Gedcom551, Gedcom::Version::Gedcom70}) {
        Gedcom::ExportOptions options;
        options.version = version;
        options.timestamp = QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        (void)Gedcom::writeTree(records, model, options);
    }

    // Written and read again: the same records.
    const RecordSet once = encodeAll(model, slice.rows);
    TreeModel again;
    again.persons.resize(slice.rows.size());
    RecordDecoder second(again, personIndexes(slice.rows));
    if (!once.decodeInto(second) || second.brokenLinks() > 0)
        fail("the records written do not read");
    const RecordSet twice = encodeAll(again, slice.rows);
    for (int t = 0; t < kTabCount; ++t) {
        if (once.tabs[t] != twice.tabs[t]) {
            std::fprintf(stderr, "table %d\n", t);
            fail("the records written and read again differ");
        }
    }
    return 0;
}
