// Who counts as living, for the privacy of exports.
#include "PrivacyFilter.h"

#include <QHash>
#include <QRegularExpression>

namespace Genealogy {

namespace {

// The last day a row's date text may mean, as a Julian Day Number; kUnknown when it names no
// year. A text that is no date counts by the last year written in it ("died young, 1850?").
qint32 lastDayOf(const QString &text)
{
    if (text.trimmed().isEmpty())
        return DateRange::kUnknown;
    const DateValue value = GedcomDate::parse(text);
    if (value.isDate()) {
        const DateRange range = GedcomDate::range(value);
        if (range.isKnown())
            return range.to;
    }
    static const QRegularExpression year(QStringLiteral("(\\d{3,4})(?!.*\\d{3,4})"));
    const QRegularExpressionMatch match = year.match(text);
    if (!match.hasMatch())
        return DateRange::kUnknown;
    return qint32(QDate(match.captured(1).toInt(), 12, 31).toJulianDay());
}

class LivingRule
{
public:
    LivingRule(std::span<const PersonRow> rows, const TreeModel &model, QDate today)
        : m_rows(rows), m_model(model),
          m_limit(qint32((today.isValid() ? today : QDate::currentDate())
                             .addYears(-PrivacyOptions::kLivingYears)
                             .toJulianDay()))
    {
    }

    std::vector<bool> run()
    {
        const size_t n = m_rows.size();
        std::vector<bool> dead(n, false);
        std::vector<qint32> birth(n, DateRange::kUnknown);
        for (size_t i = 0; i < n; ++i) {
            const PersonRow &row = m_rows[i];
            birth[i] = lastDayOf(row.Bdate);
            if (!row.Ddate.trimmed().isEmpty() || !row.Dplace.trimmed().isEmpty())
                dead[i] = true;
        }
        const bool withModel = m_model.personCount() == quint32(n) && n > 0;
        const EventTypes::Id births = EventTypes::birth();
        const EventTypes::Id deaths = EventTypes::death();
        const EventTypes::Id burial = EventTypes::find("BURI", false);
        const EventTypes::Id cremation = EventTypes::find("CREM", false);
        const EventTypes::Id marriage = EventTypes::find("MARR", true);
        if (withModel) {
            for (const Event &event : m_model.events.all()) {
                if (event.owner.is(Kind::Person) && event.owner.index() < n) {
                    const quint32 p = event.owner.index();
                    if (event.type == deaths || event.type == burial || event.type == cremation)
                        dead[p] = true;
                    else if (event.type == births && event.sortTo != DateRange::kUnknown)
                        birth[p] = earliest(birth[p], event.sortTo);
                } else if (event.owner.is(Kind::Family) && event.type == marriage &&
                           event.sortTo != DateRange::kUnknown &&
                           event.owner.index() < m_model.families.size()) {
                    for (quint32 partner : m_model.families[event.owner.index()].partner)
                        markOld(dead, partner, event.sortTo);
                }
            }
        }
        for (size_t i = 0; i < n; ++i)
            markOld(dead, quint32(i), birth[i]);
        // A child's birth: children by PrntKey, and by the families the person is a partner in.
        QHash<QString, quint32> byKey;
        byKey.reserve(qsizetype(n));
        for (size_t i = 0; i < n; ++i)
            byKey.insert(m_rows[i].ID, quint32(i));
        for (size_t i = 0; i < n; ++i) {
            if (birth[i] == DateRange::kUnknown)
                continue;
            const auto parent = byKey.constFind(m_rows[i].PrntKey);
            if (parent != byKey.cend())
                markOld(dead, *parent, birth[i]);
        }
        if (withModel) {
            for (const ChildLink &link : m_model.childLinks.all()) {
                if (link.child >= n || link.family >= m_model.families.size() ||
                    birth[link.child] == DateRange::kUnknown)
                    continue;
                for (quint32 partner : m_model.families[link.family].partner)
                    markOld(dead, partner, birth[link.child]);
            }
        }
        std::vector<bool> living(n);
        for (size_t i = 0; i < n; ++i)
            living[i] = !dead[i];
        return living;
    }

private:
    static qint32 earliest(qint32 a, qint32 b)
    {
        if (a == DateRange::kUnknown)
            return b;
        return b == DateRange::kUnknown ? a : std::min(a, b);
    }
    void markOld(std::vector<bool> &dead, quint32 person, qint32 lastDay) const
    {
        if (person < dead.size() && lastDay != DateRange::kUnknown && lastDay < m_limit)
            dead[person] = true;
    }

    std::span<const PersonRow> m_rows;
    const TreeModel &m_model;
    qint32 m_limit;
};

} // namespace

bool PrivacyOptions::fromWord(const QString &word, PrivacyOptions &options)
{
    const QString w = word.trimmed().toLower();
    if (w == QLatin1String("living")) {
        options.hideLiving = true;
        options.includePrivate = false;
    } else if (w == QLatin1String("private")) {
        options.hideLiving = false;
        options.includePrivate = false;
    } else if (w == QLatin1String("none")) {
        options.hideLiving = false;
        options.includePrivate = true;
    } else {
        return false;
    }
    return true;
}

std::vector<bool> livingPersons(std::span<const PersonRow> rows, const TreeModel &model,
                                QDate today)
{
    return LivingRule(rows, model, today).run();
}

} // namespace Genealogy
