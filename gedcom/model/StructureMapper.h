#pragma once

#include "MapContext.h"

#include <QHash>

#include <vector>

namespace Gedcom::Model {

// The row's share of an event: the first birth's or death's date and place, the last
// residence's address.
struct RowEvent
{
    QString date;
    QString place;
    bool datePresent = false;
    bool placePresent = false;
};
struct RowAddress
{
    QString line, city, country;
};

// Maps the structures persons, families and records share: events with everything under them,
// citations, note and media links, addresses and places.
class StructureMapper
{
public:
    explicit StructureMapper(MapContext &context) : m_c(context) {}

    // An event or attribute line of an owner and all its substructures. With `row`, the date
    // and place are the row's (the first birth or death): the record holds the rest and is not
    // made when there is no rest, unless `keepRecord`. With `address`, the ADDR line, city and
    // country are the row's and the record is flagged as the row's residence.
    void event(Walk &parent, int node, Genealogy::EventTypes::Id type, Genealogy::Ref owner,
               RowEvent *row = nullptr, bool keepRecord = false, RowAddress *address = nullptr);

    // SOUR with a pointer (or @VOID@) as a citation of the owner; false when it is none (an
    // inline source, a pointer to another kind of record): the caller keeps it.
    bool citation(Walk &parent, int node, Genealogy::Ref owner);
    // NOTE or SNOTE: a link to a shared note, or an inline note of its own; false when it is
    // neither (a pointer to something else).
    bool noteLink(Walk &parent, int node, Genealogy::Ref owner);
    // OBJE: a link to a media record, or (5.5.1) an inline media object of its own.
    bool mediaLink(Walk &parent, int node, Genealogy::Ref owner);
    // ADDR and its parts into a new address record; with `row`, the line, city and country go
    // there instead.
    quint32 address(Walk &parent, int node, RowAddress *row = nullptr);
    // The fields of a date line: the normalised value, its 7.0 PHRASE (walking its
    // substructures).
    void date(Walk &parent, int node, Genealogy::Text &value, Genealogy::Text *phrase,
              Genealogy::Event *event);

    // The events read whose date and place are all the row holds: no record was made of them.
    qsizetype eventsOnRows() const { return m_eventsOnRows; }

private:
    quint32 place(Walk &parent, int node, RowEvent *row);

    // Dates read before, by their text: files repeat them (a year, a day many events share), and
    // reading one is the larger part of mapping an event. At most kDatesKept of each are kept;
    // then they are read afresh.
    static constexpr qsizetype kDatesKept = 1 << 16;
    struct ReadDate
    {
        Genealogy::Text value; // the normalised value in the model
        Genealogy::DateKind kind = Genealogy::DateKind::None;
        qint32 sortFrom = 0, sortTo = 0;
    };
    const ReadDate &readDate(const QString &text);
    // The row's text of a date without a phrase.
    QString rowDate(const QString &text);

    MapContext &m_c;
    qsizetype m_eventsOnRows = 0;
    QHash<QString, ReadDate> m_dates;
    QHash<QString, QString> m_rowDates;
    // The row's text of each place by its index (one text shared by the rows of a place).
    std::vector<QString> m_rowPlaces;
};

} // namespace Gedcom::Model
