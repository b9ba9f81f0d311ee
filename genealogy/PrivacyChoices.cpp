#include "PrivacyChoices.h"

#include <array>

namespace Genealogy::PrivacyChoices {

namespace {

// The one owner of the remembered choices.
struct Memory
{
    Store store;
    std::array<std::optional<PrivacyOptions>, 3> made;
};

Memory &memory()
{
    static Memory kept;
    return kept;
}

} // namespace

QString nameOf(Export kind)
{
    switch (kind) {
    case Export::Charts:
        return QStringLiteral("Charts");
    case Export::Gedcom:
        return QStringLiteral("Gedcom");
    case Export::Reports:
        return QStringLiteral("Reports");
    }
    return QString();
}

PrivacyOptions defaults(Export kind)
{
    PrivacyOptions choice;
    if (kind == Export::Reports) {
        choice.hideLiving = true;
        choice.includePrivate = false;
    }
    return choice;
}

PrivacyOptions last(Export kind)
{
    Memory &m = memory();
    std::optional<PrivacyOptions> &made = m.made[size_t(kind)];
    if (!made && m.store.read)
        made = m.store.read(nameOf(kind));
    return made.value_or(defaults(kind));
}

void remember(Export kind, const PrivacyOptions &choice)
{
    Memory &m = memory();
    PrivacyOptions kept;
    kept.hideLiving = choice.hideLiving;
    kept.includePrivate = choice.includePrivate;
    m.made[size_t(kind)] = kept;
    if (m.store.write)
        m.store.write(nameOf(kind), kept);
}

void setStore(Store store)
{
    Memory &m = memory();
    m.store = std::move(store);
    m.made = {};
}

} // namespace Genealogy::PrivacyChoices
