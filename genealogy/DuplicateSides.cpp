#include "DuplicateSides.h"

#include "GedcomDate.h"
#include "NameFolding.h"

#include <QHash>

#include <algorithm>

namespace Genealogy::Duplicates {

namespace NF = NameFolding;

int Dictionary::add(const std::string &text)
{
    const int id = int(m_words.size());
    m_ids.emplace(text, id);
    Word word;
    word.text = text;
    word.sound = NF::soundKey(text);
    word.digit = std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    word.common = id;
    m_words.push_back(std::move(word));
    return id;
}

int Dictionary::intern(const std::string &text)
{
    if (const auto it = m_ids.find(text); it != m_ids.end())
        return it->second;
    const int id = add(text);
    const std::string_view common = NF::variantOf(text);
    if (common != text) {
        const std::string commonText(common);
        const auto it = m_ids.find(commonText);
        const int commonId = it != m_ids.end() ? it->second : add(commonText);
        m_words[size_t(id)].common = commonId;
    }
    return id;
}

namespace {

FoldedName fold(const QString &given, const QString &surname, Dictionary &words)
{
    FoldedName name;
    for (const std::string &word : NF::words(given))
        name.given.push_back(words.intern(word));
    const std::vector<std::string> last = NF::words(surname);
    if (!last.empty()) {
        std::string all;
        for (const std::string &word : last) {
            if (!all.empty())
                all.push_back(' ');
            all += word;
        }
        name.surname = words.intern(all);
        name.lastSurname = words.intern(last.back());
    }
    return name;
}

int yearOf(const QString &date)
{
    if (date.isEmpty())
        return kNoYear;
    bool ok = false;
    const int plain = date.toInt(&ok);
    if (ok)
        return plain;
    const DateValue value = GedcomDate::parse(date);
    if (!value.isDate() || !value.first.valid)
        return kNoYear;
    return int(value.first.reckonedYear());
}

} // namespace

Side prepare(const DuplicateSource &source, Dictionary &words)
{
    Side side;
    side.words = &words;
    side.kin = KinshipIndex::build(source.rows, source.families);
    side.persons.resize(source.rows.size());
    for (size_t i = 0; i < source.rows.size(); ++i) {
        const PersonRow &row = source.rows[i];
        Person &p = side.persons[i];
        p.name = fold(row.Fname, row.Sname, words);
        if (!row.PrtFname.isEmpty() || !row.PrtSname.isEmpty())
            p.rowPartner = fold(row.PrtFname, row.PrtSname, words);
        p.birth = yearOf(row.Bdate);
        p.death = yearOf(row.Ddate);
        p.birthPlace = NF::placeKey(row.Bplace);
        p.deathPlace = NF::placeKey(row.Dplace);
        p.sex = source.sexes.value(row.ID, Sex::None);
        if (!p.name.isEmpty()) {
            quint64 hash = quint64(p.name.surname + 2);
            for (const int word : p.name.given)
                hash = hash * 1000003ULL + quint64(word + 2);
            p.nameHash = hash | 1;
        }
    }
    return side;
}

void countNames(Side &a, Side *b)
{
    QHash<quint64, int> counts;
    for (Side *side : {&a, b})
        if (side)
            for (const Person &p : side->persons)
                if (p.nameHash)
                    ++counts[p.nameHash];
    for (Side *side : {&a, b})
        if (side)
            for (Person &p : side->persons)
                p.nameCount = counts.value(p.nameHash);
}

} // namespace Genealogy::Duplicates
