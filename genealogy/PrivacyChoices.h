#pragma once

#include "PrivacyFilter.h"

#include <QString>

#include <functional>
#include <optional>

// The privacy choices ("Hide living persons", "Include private") the export dialogs remember,
// in one place for every kind of export: each kind offers the user's last choice of that kind,
// and until there is one its own default (charts and GEDCOM hide nothing, so that a backup stays
// whole; reports hide the living and leave out the private).
//
// The choices last as long as the program runs; with a store (the program's settings, given
// once the main window is up) they are read from it and written to it, and so last across runs.
namespace Genealogy::PrivacyChoices {

enum class Export { Charts, Gedcom, Reports };

// The default of a kind of export.
PrivacyOptions defaults(Export kind);
// The choice the next dialog of that kind starts from.
PrivacyOptions last(Export kind);
// The user chose: kept (and written to the store, when there is one).
void remember(Export kind, const PrivacyOptions &choice);

// Where the choices are kept across runs, by name ("Charts", "Gedcom", "Reports"): `read` gives
// nothing for a choice never made (or unreadable).
struct Store
{
    std::function<std::optional<PrivacyOptions>(const QString &name)> read;
    std::function<void(const QString &name, const PrivacyOptions &choice)> write;
};
// Sets the store (an empty one: none; the choices made so far are forgotten either way).
void setStore(Store store);
// The name a kind is stored by.
QString nameOf(Export kind);

} // namespace Genealogy::PrivacyChoices
