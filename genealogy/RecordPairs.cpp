#include "RecordPairs.h"

#include <QHash>

#include <algorithm>

namespace Genealogy::RecordPairs {

namespace {

QString fold(const QString &text)
{
    QString folded = text.normalized(QString::NormalizationForm_KD);
    folded.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return folded.simplified().toCaseFolded();
}

void sortBest(std::vector<Pair> &pairs)
{
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair &a, const Pair &b) {
        if (a.score != b.score)
            return a.score > b.score;
        return std::pair(a.keep, a.other) < std::pair(b.keep, b.other);
    });
}

} // namespace

std::vector<Pair> families(const ModelSlice &tree)
{
    const TreeModel &m = tree.model;
    // The families of each partner.
    QHash<quint32, std::vector<quint32>> byPartner;
    for (quint32 f = 0; f < m.families.size(); ++f) {
        for (quint32 p : m.families[f].partner) {
            if (p != kNoIndex)
                byPartner[p].push_back(f);
        }
    }
    std::vector<Pair> pairs;
    for (quint32 f = 0; f < m.families.size(); ++f) {
        const Family &a = m.families[f];
        QList<quint32> seen;
        for (quint32 p : a.partner) {
            if (p == kNoIndex)
                continue;
            for (quint32 g : byPartner.value(p)) {
                if (g <= f || seen.contains(g))
                    continue;
                seen << g;
                const Family &b = m.families[g];
                const quint32 a2 = a.partner[0] == p ? a.partner[1] : a.partner[0];
                const quint32 b2 = b.partner[0] == p ? b.partner[1] : b.partner[0];
                if (a2 == b2)
                    pairs.push_back({100, f, g});
                else if (a2 == kNoIndex || b2 == kNoIndex)
                    pairs.push_back({80, a2 == kNoIndex ? g : f, a2 == kNoIndex ? f : g});
            }
        }
    }
    sortBest(pairs);
    return pairs;
}

std::vector<Pair> sources(const TreeModel &model)
{
    QHash<QString, std::vector<quint32>> byTitle;
    for (quint32 s = 0; s < model.sources.size(); ++s) {
        const QString title = fold(model.string(model.sources[s].title));
        if (!title.isEmpty())
            byTitle[title].push_back(s);
    }
    std::vector<Pair> pairs;
    for (const std::vector<quint32> &same : std::as_const(byTitle)) {
        for (size_t i = 0; i < same.size(); ++i) {
            for (size_t j = i + 1; j < same.size(); ++j) {
                const QString a = fold(model.string(model.sources[same[i]].author));
                const QString b = fold(model.string(model.sources[same[j]].author));
                if (a == b)
                    pairs.push_back({100, same[i], same[j]});
                else if (a.isEmpty() || b.isEmpty())
                    pairs.push_back(
                        {80, a.isEmpty() ? same[j] : same[i], a.isEmpty() ? same[i] : same[j]});
            }
        }
    }
    sortBest(pairs);
    return pairs;
}

QString familyText(const ModelSlice &tree, quint32 family)
{
    if (family >= tree.model.families.size())
        return {};
    QStringList names;
    for (quint32 p : tree.model.families[family].partner) {
        if (p == kNoIndex || p >= tree.rows.size())
            continue;
        const PersonRow &row = tree.rows[p];
        const QString name = QStringList{row.Fname, row.Sname}.join(u' ').trimmed();
        names << (name.isEmpty() ? row.ID : name);
    }
    const qsizetype children = qsizetype(tree.model.childLinksOf(family).size());
    return (children == 1 ? QStringLiteral("%1 (%2 child)") : QStringLiteral("%1 (%2 children)"))
        .arg(names.join(QStringLiteral(" + ")))
        .arg(children);
}

QString sourceText(const TreeModel &model, quint32 source)
{
    if (source >= model.sources.size())
        return {};
    const Source &s = model.sources[source];
    const QString author = model.string(s.author);
    return author.isEmpty() ? model.string(s.title)
                            : QStringLiteral("%1 (%2)").arg(model.string(s.title), author);
}

} // namespace Genealogy::RecordPairs
