#pragma once

#include "EditHost.h"
#include "TreeChart.h"
#include "cPeople.h"

#include <QMap>
#include <QStringList>

// An edit host over an in-memory table, a real chart and recorded panel and status-bar calls.
class FakeHost : public EditHost
{
public:
    Result<PersonRecord> FindPerson(const QString &, const QString &key) override
    {
        if (findError)
            return findError;
        if (!rows.contains(key))
            return Error(ErrorCode::Missing, QStringLiteral("not there"));
        return rows.value(key);
    }
    Result<void> UpdatePerson(const QString &, const QString &key, const PersonRecord &record,
                              const PersonRecord *expected) override
    {
        ++updates;
        if (updateError)
            return updateError;
        if (expected && !rows.contains(key))
            return Error(ErrorCode::Missing, QStringLiteral("gone"));
        if (expected && rows.value(key) != *expected)
            return Error(ErrorCode::ChangedElsewhere, QStringLiteral("changed"));
        PersonRecord stored = record;
        stored.ID = key;
        rows[key] = stored;
        return {};
    }
    Result<void> InsertPerson(const QString &, const PersonRecord &record) override
    {
        if (insertError)
            return insertError;
        if (rows.contains(record.ID))
            return Error(ErrorCode::Taken, QStringLiteral("UNIQUE constraint failed"));
        rows[record.ID] = record;
        return {};
    }

    cPersonPtr Person(const QString &key) const override { return people.Item(key); }
    bool AddPerson(const PersonRecord &record) override
    {
        return bool(people.Add(cPerson(record)));
    }
    void ChangePerson(const QString &key, const PersonRecord &values) override
    {
        PersonRecord changed = values;
        changed.ID = people.Item(key)->Key();
        people.Item(key)->fromRecord(changed);
    }
    TreeChart &VTree() override { return chart; }
    QString CurrentTree() const override { return tree; }
    QString SelectedKey() const override { return selectedKey; }
    bool EditMode() const override { return editMode; }
    QString DataPath() const override { return dataPath; }
    QString ProgramPath() const override { return programPath; }

    bool InfoVisible() const override { return infoVisible; }
    void ShowInfoValues(const cPerson &person) override { infoValues.append(person.Key()); }
    void ShowDeathFields(bool visible) override { deathFields.append(visible); }
    void RedrawThumbs() override { ++thumbRedraws; }
    void SetStatusTexts(const QString &panel1, const QString &panel2) override
    {
        status1 = panel1;
        status2 = panel2;
    }

    // Puts a person into the table, into People and, when `inChart`, as a box into row 1.
    void addPerson(const PersonRecord &record, bool inChart = true)
    {
        rows[record.ID] = record;
        people.Add(cPerson(record));
        if (!inChart)
            return;
        if (chart.Levels().Count() == 0)
            chart.Levels().AddNew();
        cNode node;
        node.setKey(record.ID);
        node.setLevel(1);
        node.setCaptionA(record.Sname + ' ' + record.Fname);
        node.setCaptionB(record.PrtSname + ' ' + record.PrtFname);
        chart.Levels().Item(1)->Add(node);
    }

    QMap<QString, PersonRecord> rows;
    cPeople people;
    TreeChart chart;
    QString tree = QStringLiteral("Family");
    QString selectedKey;
    bool editMode = false;
    QString dataPath;
    QString programPath = QStringLiteral("/opt/velkin");
    bool infoVisible = false;
    Error findError;
    Error updateError;
    Error insertError;
    int updates = 0;

    QStringList infoValues;
    QList<bool> deathFields;
    int thumbRedraws = 0;
    QString status1;
    QString status2;
};

inline PersonRecord makePerson(const QString &id, const QString &parent, const QString &fname,
                               const QString &sname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    return r;
}
