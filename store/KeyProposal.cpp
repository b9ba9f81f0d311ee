#include "KeyProposal.h"

#include "PhotoFolders.h"
#include "mDatabase.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace KeyProposal {

namespace {

// A key of letters (possibly none) and a number: "I12", "42".
struct KeyShape
{
    QString prefix;
    qulonglong number = 0;
};

bool shapeOf(const QString &key, KeyShape &shape)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Za-z]*)([0-9]{1,18})$"));
    const QRegularExpressionMatch match = pattern.match(key);
    if (!match.hasMatch())
        return false;
    shape.prefix = match.captured(1);
    shape.number = match.captured(2).toULongLong();
    return true;
}

} // namespace

QString Propose(const QStringList &treeKeys, const QStringList &taken)
{
    // The prefix most keys of the tree have (the first one met wins a tie) and the highest
    // number used with it.
    QHash<QString, int> counts;
    QHash<QString, qulonglong> highest;
    QHash<QString, QString> firstSpelling; // the prefix as the first key of its kind writes it
    QString style;
    int styleCount = 0;
    for (const QString &key : treeKeys) {
        KeyShape shape;
        if (!shapeOf(key, shape))
            continue;
        const QString prefix = shape.prefix.toUpper();
        const int count = ++counts[prefix];
        highest[prefix] = qMax(highest.value(prefix), shape.number);
        if (!firstSpelling.contains(prefix))
            firstSpelling.insert(prefix, shape.prefix);
        if (count > styleCount) {
            styleCount = count;
            style = firstSpelling.value(prefix);
        }
    }
    if (styleCount == 0)
        style = QStringLiteral("I");

    QSet<QString> used;
    for (const QString &key : taken)
        used.insert(key.toUpper());
    for (const QString &key : treeKeys)
        used.insert(key.toUpper());

    qulonglong next = highest.value(style.toUpper()) + 1;
    QString candidate = style + QString::number(next);
    while (used.contains(candidate.toUpper()))
        candidate = style + QString::number(++next);
    return candidate;
}

Result<QString> ProposeFor(const mDatabase &store, const QString &tree, const QString &dataPath)
{
    const Result<QList<PersonRecord>> rows = store.ReadTree(tree);
    if (!rows)
        return rows.error();
    QStringList treeKeys;
    treeKeys.reserve(rows->size());
    for (const PersonRecord &row : *rows)
        treeKeys.append(row.ID);

    Result<QStringList> all = store.AllKeys();
    if (!all)
        return all.error();
    QStringList taken = std::move(*all);
    const QDir photos(PhotoFolders::Root(dataPath));
    taken += photos.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    return Propose(treeKeys, taken);
}

} // namespace KeyProposal
