#include "KinshipIndex.h"

#include "PersonRecord.h"

namespace Genealogy {

namespace {

struct Link
{
    int from; // the person whose list holds the link
    int to;
    int extra; // the co-parent of a child link, else -1
};

// Groups the links by `from` in a stable way and drops a repeated `to` within a group (the
// first stays; a later link adds the co-parent the first lacked). Linear in the links.
void compress(int count, const std::vector<Link> &links, std::vector<int> &start,
              std::vector<int> &to, std::vector<int> *extra)
{
    start.assign(size_t(count) + 1, 0);
    for (const Link &l : links)
        ++start[size_t(l.from) + 1];
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    std::vector<int> fill(start.begin(), start.end() - 1);
    std::vector<int> sorted(links.size()), sortedExtra(links.size());
    for (const Link &l : links) {
        const int at = fill[size_t(l.from)]++;
        sorted[size_t(at)] = l.to;
        sortedExtra[size_t(at)] = l.extra;
    }
    // Drop repeats: a stamp per target tells whether it was seen in the current group, and where.
    std::vector<int> seenIn(size_t(count), -1), seenAt(size_t(count), -1);
    to.clear();
    to.reserve(sorted.size());
    if (extra) {
        extra->clear();
        extra->reserve(sorted.size());
    }
    int written = 0;
    for (int p = 0; p < count; ++p) {
        const int begin = start[size_t(p)];
        const int end = start[size_t(p) + 1];
        start[size_t(p)] = written;
        for (int i = begin; i < end; ++i) {
            const int target = sorted[size_t(i)];
            if (seenIn[size_t(target)] == p) {
                if (extra && (*extra)[size_t(seenAt[size_t(target)])] < 0)
                    (*extra)[size_t(seenAt[size_t(target)])] = sortedExtra[size_t(i)];
                continue;
            }
            seenIn[size_t(target)] = p;
            seenAt[size_t(target)] = written;
            to.push_back(target);
            if (extra)
                extra->push_back(sortedExtra[size_t(i)]);
            ++written;
        }
    }
    start[size_t(count)] = written;
    to.shrink_to_fit();
    if (extra)
        extra->shrink_to_fit();
}

} // namespace

KinshipIndex KinshipIndex::build(qsizetype count, const std::function<QString(qsizetype)> &key,
                                 const std::function<QString(qsizetype)> &parentKey,
                                 std::span<const FamilyKeys> families)
{
    KinshipIndex index;
    const int n = int(count);
    index.m_keys.reserve(size_t(n));
    index.m_index.reserve(n);
    for (int i = 0; i < n; ++i) {
        index.m_keys.push_back(key(i));
        // The first row of a key wins, as in the chart's collection.
        if (!index.m_index.contains(index.m_keys.back()))
            index.m_index.insert(index.m_keys.back(), i);
    }

    // Child links (parent -> child, co-parent), then partner links.
    std::vector<Link> childLinks;
    childLinks.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const QString parent = parentKey(i);
        if (parent.isEmpty() || parent == kRootKey)
            continue;
        const int p = index.indexOf(parent);
        if (p >= 0 && p != i)
            childLinks.push_back({p, i, -1});
    }
    std::vector<Link> partnerLinks;
    for (const FamilyKeys &family : families) {
        const int a = family.partner[0].isEmpty() ? -1 : index.indexOf(family.partner[0]);
        int b = family.partner[1].isEmpty() ? -1 : index.indexOf(family.partner[1]);
        if (b == a)
            b = -1; // one person named twice is one partner
        if (a >= 0 && b >= 0) {
            partnerLinks.push_back({a, b, -1});
            partnerLinks.push_back({b, a, -1});
        }
        for (const FamilyKeys::Child &child : family.children) {
            const int c = index.indexOf(child.key);
            if (c < 0)
                continue;
            if (a >= 0 && a != c)
                childLinks.push_back({a, c, b != c ? b : -1});
            if (b >= 0 && b != c)
                childLinks.push_back({b, c, a != c ? a : -1});
        }
    }
    compress(n, childLinks, index.m_childStart, index.m_children, &index.m_coParents);
    for (Link &l : childLinks)
        std::swap(l.from, l.to);
    compress(n, childLinks, index.m_parentStart, index.m_parents, nullptr);
    compress(n, partnerLinks, index.m_partnerStart, index.m_partners, nullptr);
    return index;
}

KinshipIndex KinshipIndex::build(std::span<const PersonRow> rows,
                                 std::span<const FamilyKeys> families)
{
    return build(
        qsizetype(rows.size()), [&rows](qsizetype i) { return rows[size_t(i)].ID; },
        [&rows](qsizetype i) { return rows[size_t(i)].PrntKey; }, families);
}

void KinshipIndex::setSex(int person, Sex sex)
{
    if (person < 0 || person >= count())
        return;
    if (m_sex.empty())
        m_sex.assign(m_keys.size(), Sex::None);
    m_sex[size_t(person)] = sex;
}

qint64 KinshipIndex::bytes() const
{
    qint64 total = 0;
    for (const QString &k : m_keys)
        total += qint64(sizeof(QString)) + k.size() * 2;
    total += qint64(m_index.capacity()) * qint64(sizeof(QString) + sizeof(int) + 8);
    const auto ints = [](const std::vector<int> &v) { return qint64(v.capacity() * sizeof(int)); };
    total += ints(m_parentStart) + ints(m_parents) + ints(m_childStart) + ints(m_children) +
             ints(m_coParents) + ints(m_partnerStart) + ints(m_partners);
    total += qint64(m_sex.capacity());
    return total;
}

} // namespace Genealogy
