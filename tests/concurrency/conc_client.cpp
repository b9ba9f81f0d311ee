// A client of the concurrency test: one program among several changing the same persons of one
// tree at once, as relatives sharing a tree do. Each change names what it read: the edit
// window's row (UpdatePerson with the row as read) or the details window's records
// (ModelEdit::readForEdit, then applyEdit): the person's note gets a new token and, on the
// second path, its privacy turns over. A change accepted is noted in the history (before and
// after) and reported on the standard output; a refused one is reported with its code. Between
// reading a person and writing it, the client may change another person first, so that the
// clients' reads and writes interleave.
//
//   conc_client file:<data folder/>|server:<address> <tree> <client> <milliseconds> <seed>
//
// Lines: "ok <key> <row|model> <token read> <token written>", "refused <key> <code>",
// "error <key> <text>", and at the end "done <accepted> <refused>".
#include "ChangeLog.h"
#include "ModelEdit.h"
#include "ServerAddress.h"
#include "Vocabulary.h"
#include "mDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>
#include <optional>

namespace {

struct Counts
{
    qint64 accepted = 0;
    qint64 refused = 0;
    qint64 errors = 0;
};

QString codeName(const Error &error)
{
    if (error.is(ErrorCode::ChangedElsewhere))
        return QStringLiteral("ChangedElsewhere");
    if (error.is(ErrorCode::Missing))
        return QStringLiteral("Missing");
    if (error.is(ErrorCode::Busy))
        return QStringLiteral("Busy");
    return QString();
}

// One change of one person: read first, written later.
class Change
{
public:
    Change(mDatabase &store, const QString &tree, QString key, bool model, QString token)
        : m_store(store), m_tree(tree), m_key(std::move(key)), m_model(model),
          m_token(std::move(token))
    {
    }

    // Reads the person as the window would; the error when it could not.
    Error read()
    {
        if (m_model) {
            Result<ModelEdit::PersonEdit> edit = ModelEdit::readForEdit(m_store, m_tree, m_key);
            if (!edit)
                return edit.error();
            m_row = edit->tree.rows[edit->tree.person];
            m_edit = std::move(*edit);
            return {};
        }
        Result<PersonRecord> row = m_store.FindPerson(m_tree, m_key);
        if (!row)
            return row.error();
        m_row = *row;
        return {};
    }

    // Writes the change made on what was read.
    Error write()
    {
        PersonRecord after = m_row;
        after.Notes = m_token;
        if (m_model) {
            Genealogy::ModelSlice edited = m_edit->tree;
            const quint32 p = edited.person;
            edited.rows[p].Notes = m_token;
            Genealogy::PersonSide &person = edited.model.persons.edit(p);
            person.privacy = quint8(person.privacy ^ Genealogy::Privacy::Private);
            if (const Result<void> saved = ModelEdit::applyEdit(m_store, m_tree, *m_edit, edited);
                !saved)
                return saved.error();
        } else if (const Result<void> saved = m_store.UpdatePerson(m_tree, m_key, after, &m_row);
                   !saved) {
            return saved.error();
        }
        ChangeLog::Entry entry;
        entry.tree = m_tree;
        entry.record = ChangeLog::personRecord(m_key);
        entry.command = QStringLiteral("Concurrent change %1").arg(m_token);
        entry.before = ChangeLog::rowsJson({{m_key, &m_row}});
        entry.after = ChangeLog::rowsJson({{m_key, &after}});
        // The change is made: its entry is written, waiting again while the database is busy.
        Result<qint64> logged = ChangeLog::add(m_store, entry);
        for (int attempt = 0; !logged && logged.error().is(ErrorCode::Busy) && attempt < 20;
             ++attempt)
            logged = ChangeLog::add(m_store, entry);
        if (!logged)
            return Error(ErrorCode::Failed, QStringLiteral("the change was made, its history "
                                                           "not: %1")
                                                .arg(logged.error().text()));
        return {};
    }

    QString line() const
    {
        return QStringLiteral("ok %1 %2 %3 %4")
            .arg(m_key, m_model ? QStringLiteral("model") : QStringLiteral("row"), m_row.Notes,
                 m_token);
    }
    const QString &key() const { return m_key; }

private:
    mDatabase &m_store;
    const QString &m_tree;
    QString m_key;
    bool m_model;
    QString m_token;
    PersonRecord m_row;
    std::optional<ModelEdit::PersonEdit> m_edit;
};

void report(QTextStream &out, Counts &counts, const Change &change, const Error &error)
{
    if (!error) {
        ++counts.accepted;
        out << change.line() << '\n';
        return;
    }
    const QString code = codeName(error);
    if (code.isEmpty()) {
        ++counts.errors;
        out << "error " << change.key() << ' ' << QString(error.text()).replace(u'\n', u' ')
            << '\n';
        return;
    }
    ++counts.refused;
    out << "refused " << change.key() << ' ' << code << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: conc_client file:<folder/>|server:<address> <tree> "
                             "<client> <milliseconds> <seed>\n");
        return 2;
    }
    const QString database = args[1];
    const QString tree = args[2];
    const QString client = args[3];
    const qint64 duration = args[4].toLongLong();
    QRandomGenerator random(args[5].toUInt());

    mDatabase store;
    if (database.startsWith(QLatin1String("server:"))) {
        const Result<ServerAddress> address = ParseServerAddress(database.mid(7));
        if (!address) {
            std::fprintf(stderr, "%s\n", qPrintable(address.error().text()));
            return 2;
        }
        store.SetServer(*address);
    } else {
        const QString folder = database.mid(5);
        store.SetPaths(folder, folder + QStringLiteral("people.db"));
    }
    // A database busy with the other programs' changes is opened again, as a user would try
    // again.
    Result<void> opened = store.OpenDatabase();
    for (int attempt = 0; !opened && opened.error().is(ErrorCode::Busy) && attempt < 20; ++attempt)
        opened = store.OpenDatabase();
    if (!opened) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(opened.error().text()));
        return 3;
    }
    Result<QList<PersonRecord>> rows = store.ReadTree(tree);
    for (int attempt = 0; !rows && rows.error().is(ErrorCode::Busy) && attempt < 20; ++attempt)
        rows = store.ReadTree(tree);
    if (!rows || rows->isEmpty()) {
        std::fprintf(stderr, "no tree '%s'\n", qPrintable(tree));
        return 3;
    }
    QStringList keys;
    for (const PersonRecord &row : *rows)
        keys << row.ID;

    QTextStream out(stdout);
    Counts counts;
    qint64 sequence = 0;
    const auto next = [&] {
        return Change(store, tree, keys[random.bounded(int(keys.size()))], random.bounded(2) == 1,
                      QStringLiteral("c%1-%2").arg(client).arg(++sequence));
    };
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < duration) {
        Change change = next();
        if (const Error error = change.read()) {
            report(out, counts, change, error);
            continue;
        }
        // Another person changed in between now and then: the reads and writes of the clients
        // interleave.
        if (random.bounded(2) == 1) {
            Change between = next();
            Error error = between.read();
            if (!error)
                error = between.write();
            report(out, counts, between, error);
        }
        report(out, counts, change, change.write());
        out.flush();
    }
    out << "done " << counts.accepted << ' ' << counts.refused << '\n';
    out.flush();
    return counts.errors == 0 ? 0 : 1;
}
