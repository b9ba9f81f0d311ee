// Who counts as living, and the view an export writes with the living hidden and the private
// left out: nothing of a living person's own survives, indexes stay sound, the dead stay whole.
#include "EventTypes.h"
#include "GedcomDate.h"
#include "PrivacyFilter.h"
#include "RowRules.h"
#include "TreeCheck.h"

#include <QTest>

using namespace Genealogy;

namespace {

const QDate kToday(2026, 6, 1);

// Old (1850) + Wed (married 1880): Kid (1990) is their child by the family.
// Gramps has no dates, but Son (PrntKey Gramps) was born 1900 and died.
// Hid is marked private; Orph's PrntKey names Hid.  Yes has only "DEAT Y".
// Liv lives: born 1985 at "Secretville", a residence, a citation, a note, a photo.
struct Tree
{
    std::vector<PersonRow> rows;
    TreeModel model;
    quint32 oldWed = kNoIndex;

    quint32 person(const char *id, const char *first, const char *parent = "",
                   const char *born = "")
    {
        PersonRow row;
        row.ID = QString::fromLatin1(id);
        row.Fname = QString::fromLatin1(first);
        row.Sname = QStringLiteral("Surname%1").arg(rows.size());
        row.PrntKey = QString::fromLatin1(parent);
        row.Bdate = QString::fromLatin1(born);
        rows.push_back(row);
        model.persons.add(PersonSide{});
        Name name;
        name.person = quint32(rows.size() - 1);
        name.flags = Name::Primary;
        model.names.add(name);
        return quint32(rows.size() - 1);
    }
    quint32 event(Ref owner, const char *tag, const char *date, const char *place = nullptr)
    {
        Event e;
        e.owner = owner;
        e.type = EventTypes::find(tag, owner.is(Kind::Family));
        e.date = model.text(QByteArrayView(date));
        const DateRange range = GedcomDate::range(GedcomDate::parse(QString::fromLatin1(date)));
        e.sortFrom = range.from;
        e.sortTo = range.to;
        if (place)
            e.place = model.place(place);
        return model.events.add(e);
    }

    Tree()
    {
        const quint32 old = person("OLD", "Old", "ROOT", "1850");
        const quint32 wed = person("WED", "Wed");
        const quint32 kid = person("KID", "Kid", "OLD", "12 MAR 1990");
        person("GRAMPS", "Gramps", "ROOT");
        const quint32 son = person("SON", "Son", "GRAMPS", "1900");
        rows[son].Ddate = QStringLiteral("1980");
        const quint32 hid = person("HID", "Hid", "ROOT", "1700");
        model.persons.edit(hid).privacy = Privacy::Private;
        person("ORPH", "Orph", "HID");
        const quint32 yes = person("YES", "Yes", "ROOT");
        event(Ref(Kind::Person, yes), "DEAT", "");
        const quint32 liv = person("LIV", "Liv", "ROOT", "1985");
        rows[liv].Bplace = QStringLiteral("Secretville");
        rows[liv].Notes = QStringLiteral("Secret note");
        rows[liv].Laddress = QStringLiteral("1 Hidden Lane");

        Family f;
        f.partner[0] = old;
        f.partner[1] = wed;
        oldWed = model.families.add(f);
        model.partnerships.add({old, oldWed});
        model.partnerships.add({wed, oldWed});
        event(Ref(Kind::Family, oldWed), "MARR", "1880", "Wedtown");
        ChildLink link;
        link.family = oldWed;
        link.child = kid;
        model.childLinks.add(link);
        // Kid's own family with Liv: its wedding is theirs alone.
        Family g;
        g.partner[0] = kid;
        g.partner[1] = liv;
        const quint32 kidLiv = model.families.add(g);
        model.partnerships.add({kid, kidLiv});
        model.partnerships.add({liv, kidLiv});
        event(Ref(Kind::Family, kidLiv), "MARR", "2010", "Weddingville");
        rows[kid].PrtFname = QStringLiteral("Liv");
        rows[old].PrtFname = QStringLiteral("Wed");
        rows[wed].PrtFname = QStringLiteral("Old");
        rows[liv].PrtFname = QStringLiteral("Kid");

        const quint32 residence = event(Ref(Kind::Person, liv), "OCCU", "2000", "Secret Works");
        const quint32 source =
            model.sources.add(Source{model.text("Secret register"), {}, {}, {}, {}});
        Citation c;
        c.owner = Ref(Kind::Event, residence);
        c.source = source;
        c.page = model.text("page of Liv");
        model.citations.add(c);
        Citation onOld;
        onOld.owner = Ref(Kind::Person, old);
        onOld.source = source;
        onOld.page = model.text("page of Old");
        model.citations.add(onOld);
        const quint32 note = model.notes.add(Note{model.text("Liv's shared note"), Note::Shared});
        model.noteLinks.add({Ref(Kind::Person, liv), note});
        Media m;
        m.file = model.text("liv.jpg");
        model.mediaLinks.add({Ref(Kind::Person, liv), model.media.add(m)});
        // Old's private fact.
        const quint32 secret = event(Ref(Kind::Person, old), "RELI", "1870", "Private Chapel");
        model.events.edit(secret).privacy = Privacy::Private;
    }
    int index(const char *id) const
    {
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].ID == QLatin1String(id))
                return int(i);
        return -1;
    }
};

QStringList placeNames(const TreeModel &model)
{
    QStringList out;
    for (const Place &p : model.places.all())
        out << model.string(p.name);
    return out;
}

const PersonRow *rowOf(const ModelSlice &slice, const char *id)
{
    for (const PersonRow &row : slice.rows)
        if (row.ID == QLatin1String(id))
            return &row;
    return nullptr;
}

} // namespace

class tst_privacyfilter : public QObject
{
    Q_OBJECT

private slots:
    void livingRule()
    {
        const Tree tree;
        const std::vector<bool> living = livingPersons(tree.rows, tree.model, kToday);
        const auto isLiving = [&](const char *id) { return bool(living[size_t(tree.index(id))]); };
        QVERIFY(!isLiving("OLD"));    // born more than 110 years ago
        QVERIFY(!isLiving("WED"));    // married more than 110 years ago
        QVERIFY(!isLiving("GRAMPS")); // a child born more than 110 years ago
        QVERIFY(!isLiving("SON"));    // a death date
        QVERIFY(!isLiving("YES"));    // DEAT Y alone
        QVERIFY(isLiving("KID"));
        QVERIFY(isLiving("LIV"));
        QVERIFY(isLiving("ORPH")); // nothing known

        // The limit is exclusive and counts the date's last possible day.
        std::vector<PersonRow> rows(3);
        rows[0].ID = "A";
        rows[0].Bdate = QStringLiteral("1916"); // ends 31 Dec 1916: within 110 years
        rows[1].ID = "B";
        rows[1].Bdate = QStringLiteral("31 MAY 1916"); // 110 years and a day before
        rows[2].ID = "C";
        rows[2].Bdate = QStringLiteral("born about 1801?"); // no date: its last year counts
        const std::vector<bool> byDate = livingPersons(rows, TreeModel(), kToday);
        QCOMPARE(byDate, (std::vector<bool>{true, false, false}));
    }

    void hidesTheLiving()
    {
        const Tree tree;
        PrivacyOptions options;
        options.hideLiving = true;
        options.includePrivate = false;
        options.today = kToday;
        const PrivacyView view = applyPrivacy(tree.rows, tree.model, options);
        const ModelSlice &out = view.slice;
        QCOMPARE(view.living, 3); // KID, ORPH, LIV
        QCOMPARE(view.leftOut, 1);
        QCOMPARE(out.rows.size(), tree.rows.size() - 1);
        QCOMPARE(out.model.personCount(), quint32(out.rows.size()));
        QVERIFY(!rowOf(out, "HID"));
        QCOMPARE(rowOf(out, "ORPH")->PrntKey, QStringLiteral("ROOT"));

        const PersonRow &liv = *rowOf(out, "LIV");
        QCOMPARE(liv.Fname, QStringLiteral("Living"));
        QVERIFY(liv.Sname.isEmpty() && liv.Bdate.isEmpty() && liv.Bplace.isEmpty() &&
                liv.Notes.isEmpty() && liv.Laddress.isEmpty());
        QCOMPARE(liv.PrtFname, QStringLiteral("Living")); // Kid lives too
        QCOMPARE(rowOf(out, "KID")->PrtFname, QStringLiteral("Living"));
        QCOMPARE(rowOf(out, "OLD")->PrtFname, QStringLiteral("Wed"));
        QCOMPARE(rowOf(out, "OLD")->Bdate, QStringLiteral("1850"));

        // Nothing of the living's own, nor of their family: only Wedtown stays.
        QCOMPARE(placeNames(out.model), QStringList{QStringLiteral("Wedtown")});
        for (const Event &e : out.model.events.all()) {
            if (e.owner.is(Kind::Person))
                QCOMPARE(out.rows[e.owner.index()].ID, QStringLiteral("YES"));
        }
        QCOMPARE(out.model.citations.size(), 1u);
        QCOMPARE(out.model.string(out.model.citations[0].page), QStringLiteral("page of Old"));
        QCOMPARE(out.rows[out.model.citations[0].owner.index()].ID, QStringLiteral("OLD"));
        QCOMPARE(out.model.notes.size(), 0u);
        QCOMPARE(out.model.media.size(), 0u);
        // The family of the living stays, without its wedding; the links stay sound.
        QCOMPARE(out.model.families.size(), 2u);
        QCOMPARE(checkTree(out.rows, out.model), QStringList());
    }

    void privateOnlyAndNothing()
    {
        const Tree tree;
        PrivacyOptions privateOnly;
        QVERIFY(PrivacyOptions::fromWord(QStringLiteral("private"), privateOnly));
        const PrivacyView view = applyPrivacy(tree.rows, tree.model, privateOnly);
        QCOMPARE(view.living, 0);
        QCOMPARE(view.leftOut, 1);
        QCOMPARE(rowOf(view.slice, "LIV")->Bplace, QStringLiteral("Secretville"));
        QVERIFY(!placeNames(view.slice.model).contains(QStringLiteral("Private Chapel")));
        QCOMPARE(view.slice.model.events.size(), tree.model.events.size() - 1);

        PrivacyOptions none;
        QVERIFY(PrivacyOptions::fromWord(QStringLiteral("none"), none));
        QVERIFY(none.changesNothing());
        const PrivacyView whole = applyPrivacy(tree.rows, tree.model, none);
        QCOMPARE(whole.slice.rows, tree.rows);
        QCOMPARE(whole.slice.model.events.size(), tree.model.events.size());
        QVERIFY(placeNames(whole.slice.model).contains(QStringLiteral("Private Chapel")));

        PrivacyOptions bad;
        QVERIFY(!PrivacyOptions::fromWord(QStringLiteral("all"), bad));
    }

    void treeMadeByHand()
    {
        // No side records: the rows alone, children by PrntKey.
        std::vector<PersonRow> rows(3);
        rows[0].ID = "P";
        rows[0].PrntKey = "ROOT";
        rows[0].Fname = "Pa";
        rows[0].PrtFname = "Ma";
        rows[1].ID = "C";
        rows[1].PrntKey = "P";
        rows[1].Fname = "Child";
        rows[1].Bdate = "1890";
        rows[2].ID = "G";
        rows[2].PrntKey = "C";
        rows[2].Fname = "Grandchild";
        rows[2].Bdate = "2001";
        rows[2].Bplace = "Nowhere";
        rows[2].PrtFname = "Partner";
        PrivacyOptions options;
        options.hideLiving = true;
        options.today = kToday;
        const PrivacyView view = applyPrivacy(rows, TreeModel(), options);
        QCOMPARE(view.living, 1);
        QCOMPARE(view.slice.rows[0], rows[0]); // a child born in 1890: not living
        QCOMPARE(view.slice.rows[2].Fname, QStringLiteral("Living"));
        QCOMPARE(view.slice.rows[2].PrntKey, QStringLiteral("C"));
        QVERIFY(view.slice.rows[2].Bplace.isEmpty() && view.slice.rows[2].PrtFname.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_privacyfilter)
#include "tst_privacyfilter.moc"
