#include "cPerson.h"

#include "PeopleStore.h"

using namespace Chart;

namespace {

const QString &emptyText()
{
    static const QString empty;
    return empty;
}

} // namespace

cPerson::cPerson(const PersonRecord &record)
{
    fromRecord(record);
}

cPerson::cPerson(const cPerson &other)
{
    bool any = false;
    for (int c = 0; c < kColumns && !any; ++c)
        any = !other.Text(Column(c)).isEmpty();
    if (!any)
        return;
    m_own = std::make_unique<std::array<QString, kColumns>>();
    for (int c = 0; c < kColumns; ++c)
        (*m_own)[size_t(c)] = other.Text(Column(c));
}

cPerson &cPerson::operator=(const cPerson &other)
{
    if (this == &other)
        return *this;
    const PersonRecord values = other.toRecord(); // `other` may live in the same store
    fromRecord(values);
    return *this;
}

cPerson::~cPerson() = default;

const QString &cPerson::Text(Column column) const
{
    if (m_store)
        return m_store->Texts().At(m_text[size_t(column)]);
    if (m_own)
        return (*m_own)[size_t(column)];
    return emptyText();
}

void cPerson::setText(Column column, const QString &value)
{
    if (m_store) {
        m_store->SetText(*this, column, value);
        return;
    }
    if (!m_own) {
        if (value.isEmpty())
            return;
        m_own = std::make_unique<std::array<QString, kColumns>>();
    }
    (*m_own)[size_t(column)] = value;
}

PersonRecord cPerson::toRecord() const
{
    PersonRecord record;
    for (int c = 0; c < kColumns; ++c)
        ColumnText(record, c) = Text(Column(c));
    return record;
}

void cPerson::fromRecord(const PersonRecord &record)
{
    for (int c = 0; c < kColumns; ++c)
        setText(Column(c), ColumnText(record, c));
}

bool cPerson::operator==(const cPerson &other) const
{
    for (int c = 0; c < kColumns; ++c) {
        if (Text(Column(c)) != other.Text(Column(c)))
            return false;
    }
    return true;
}
