#pragma once

#include "ModelExport.h"
#include "StructWriter.h"

#include <QHash>

#include <utility>

namespace Gedcom::Model {

// A record id written into a small buffer: "@I12@" without an allocation.
class Id
{
public:
    Id(char kind, quint64 number);
    QByteArrayView view() const { return QByteArrayView(m_buffer, m_size); }
    operator QByteArrayView() const { return view(); }

private:
    char m_buffer[24];
    int m_size = 0;
};

// The steps of writeTree (see ModelExport.h).
class ModelWriter
{
public:
    ModelWriter(const QList<PersonRecord> &rows, const Genealogy::TreeModel &model,
                const ExportOptions &options);

    ExportResult write();

private:
    // A family made for rows the model has in no family: a parent row with its children (and,
    // for a parent in no family of the model, a partner made from its partner columns).
    struct MadeFamily
    {
        int parent = -1;
        quint64 partnerId = 0; // the INDI number of the partner made, or 0
        std::vector<int> children;
    };

    // ModelWriter.cpp
    bool v7() const { return m_options.version == Version::Gedcom70; }
    void numberRecords();
    void makeFamilies();
    void deriveParents();
    QString derivedParent(int row) const;
    bool isChild(quint32 person) const;
    quint32 lineParent(quint32 family) const;
    void header();
    void extensionTags(QList<QPair<QByteArray, QByteArray>> &tags) const;
    QByteArray idOf(Genealogy::Ref ref) const;
    // PersonWriter.cpp
    void person(int row);
    void names(int row);
    void childLinks(int row);
    void associations(int row);
    void notes(int row);
    void photos(int row);
    void madePartner(const MadeFamily &family);
    // FactWriter.cpp
    void event(quint32 event);
    void rowEvent(Genealogy::EventTypes::Id type, const QString &date, const QString &place,
                  quint32 record);
    void rowResidence(int row, quint32 record);
    void eventBody(const Genealogy::Event *ev, const Genealogy::EventDetail *detail, quint32 index);
    void place(quint32 index, QByteArrayView name);
    void address(const Genealogy::Address &address, const QString *rowLine, const QString *rowCity,
                 const QString *rowCountry);
    void modelDate(QByteArrayView tag, Genealogy::Text date, Genealogy::Text phrase);
    void rowDate(const QString &text);
    // The DATE value and PHRASE a row's date is written as.
    std::pair<QString, QString> rowDateLine(const QString &text) const;
    void citations(Genealogy::Ref owner);
    void noteLinks(Genealogy::Ref owner);
    void mediaLinks(Genealogy::Ref owner);
    void privacy(quint8 bits);
    // RecordWriter.cpp
    void family(quint32 family);
    void madeFamily(size_t index);
    void source(quint32 source);
    void repository(quint32 repository);
    void sharedNote(quint32 note);
    void mediaRecord(quint32 media);
    void keptRecords();
    void submitter();

    QString text(Genealogy::Text t) const { return m_model.string(t); }
    QByteArrayView composedName(const QString &given, const QString &surname);
    static QByteArray mediaTypeOf(const QString &path);

    const QList<PersonRecord> &m_rows;
    const Genealogy::TreeModel &m_model;
    const ExportOptions &m_options;
    bool m_hasModel = false;
    LineWriter m_out;
    StructWriter m_w;

    std::vector<quint32> m_noteNumber;  // per note: its record number (shared notes), or 0
    std::vector<quint32> m_mediaNumber; // per media: its record number, or 0 (inline)
    std::vector<quint32> m_keptNumber;  // per kept structure: its record number, or 0
    quint64 m_persons = 0;              // INDI records: rows and partners made
    std::vector<MadeFamily> m_made;
    std::vector<int> m_madeChildOf;     // per row: the made family it is a child of, or -1
    std::vector<int> m_madeHeadOf;      // per row: the made family it heads, or -1
    std::vector<char> m_writeParentKey; // per row: write _PRNTKEY
    QHash<QString, int> m_rowOfKey;
    bool m_keptSubmitter = false; // the header keeps a SUBM of the file's
    quint32 m_keptIds = 0;        // records kept as read that have an id
    bool m_secondRelations = false, m_relationTypes = false, m_parentKeys = false;
    // The rows' dates as written before, by their text (trees repeat them: writing one is much
    // of writing a person): the DATE value and its PHRASE. At most kDatesKept, then afresh.
    static constexpr qsizetype kDatesKept = 1 << 16;
    QHash<QString, std::pair<QString, QString>> m_rowDates;
    QStringList m_photoFiles; // 7.0: OBJE records of photo files, written at the end
    QByteArray m_name;        // composedName()
    quint32 m_mediaRecords = 0;
};

} // namespace Gedcom::Model
