// A GEDCOM file onto rows and the genealogical model: every person a row (in the line or
// outside it), families with both partners and their children's relations, the row's share of
// the facts and the model's, and what the model has no place for kept as read.
#include "support_gedcom.h"
#include "support_model.h"

#include "FamilyKeys.h"
#include "NameText.h"
#include "RowRules.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Gedcom;
using namespace Genealogy;

namespace {

QString familyPartners(const MappedTree &tree, quint32 family)
{
    QStringList names;
    for (quint32 p : tree.model.families[family].partner) {
        if (p != kNoIndex)
            names.append(tree.rows[qsizetype(p)].record.ID);
    }
    return names.join(QLatin1Char('+'));
}

// The parents' keys of each family the person is a child of.
QStringList parentsOf(const MappedTree &tree, const QString &id)
{
    QStringList result;
    for (quint32 l : tree.model.parentLinksOf(quint32(TestModel::rowOf(tree, id))))
        result.append(familyPartners(tree, tree.model.childLinks[l].family));
    return result;
}

const Event *eventOf(const MappedTree &tree, const QString &id, const char *tag, int nth = 0)
{
    const int row = TestModel::rowOf(tree, id);
    for (quint32 e : tree.model.eventsOf(Ref(Kind::Person, quint32(row)))) {
        if (EventTypes::tag(tree.model.events[e].type) == QByteArrayView(tag) && nth-- == 0)
            return &tree.model.events[e];
    }
    return nullptr;
}

} // namespace

class TestModelImport : public QObject
{
    Q_OBJECT

private slots:
    void royalFamiliesStayRight();
    void everyPersonIsARow();
    void childrenFollowTheirBirthFamily();
    void ownFilesKeepKeysAndParentKeys();
    void namesKeepTheirPieces();
    void composedNamesAreRecognised();
    void theRowHoldsTheFirstBirthAndDeath();
    void theRowHoldsTheLastResidence();
    void notesOfTheRowAndOfTheModel();
    void placesAreSharedAndComplete();
    void citationsSourcesAndMedia();
    void sexPrivacyAssociations();
    void keptStructuresKeepOwnerPathAndPosition();
    void oddLinksAreKeptNotInvented();
    void photosOfThePerson();
    void version7Structures();
    void cancelledByProgress();
};

void TestModelImport::royalFamiliesStayRight()
{
    VT_REQUIRE_SAMPLE(path, "royal92.ged");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const MappedTree tree = TestModel::map(file.readAll());
    QVERIFY(tree.isValid());
    QCOMPARE(tree.rows.size(), 3010);
    QCOMPARE(tree.counts.rows, 3010);
    QCOMPARE(tree.counts.partners, 0);
    QCOMPARE(tree.counts.noted, 0);
    // Princess Charlotte: daughter of George IV and Caroline of Brunswick, no one else.
    QCOMPARE(parentsOf(tree, "I144"), QStringList{"I141+I143"});
    QCOMPARE(tree.rows[TestModel::rowOf(tree, "I144")].record.PrntKey, QStringLiteral("I141"));
    // Queen Victoria's mother is one person: her own row, named as the Duke of Kent's partner.
    const PersonRecord duke = tree.rows[TestModel::rowOf(tree, "I133")].record;
    QCOMPARE(duke.PrtFname, QStringLiteral("Victoria Mary Louisa"));
    QCOMPARE(parentsOf(tree, "I1"), QStringList{"I133+I138"});
    // "1 DIV N" is a divorce event that says no; "ABT    1969" loses its blanks.
    int divorcesSaidNo = 0, divorces = 0;
    for (const Event &e : tree.model.events.all()) {
        if (EventTypes::tag(e.type) != QByteArrayView("DIV"))
            continue;
        ++divorces;
        divorcesSaidNo += tree.model.string(e.value) == QLatin1String("N");
    }
    QCOMPARE(divorces, 83);
    QCOMPARE(divorcesSaidNo, 9);
    bool abt1969 = false;
    for (const Gedcom::PlannedRow &row : tree.rows)
        abt1969 = abt1969 || row.record.Ddate == QLatin1String("ABT 1969");
    for (const Event &e : tree.model.events.all())
        abt1969 = abt1969 || tree.model.string(e.date) == QLatin1String("ABT 1969");
    QVERIFY(abt1969);
    QCOMPARE(TestModel::check(tree), QStringList());
}

void TestModelImport::everyPersonIsARow()
{
    // A founder couple, their son, his wife (married in: outside the line) and her parents.
    const MappedTree tree =
        TestModel::map(TestGedcom::file({"0 @A@ INDI",  "1 NAME Adam /Old/", "1 FAMS @F1@",
                                         "0 @B@ INDI",  "1 NAME Bea /Old/",  "1 FAMS @F1@",
                                         "0 @S@ INDI",  "1 NAME Sam /Old/",  "1 FAMC @F1@",
                                         "1 FAMS @F2@", "0 @W@ INDI",        "1 NAME Wendy /New/",
                                         "1 FAMS @F2@", "0 @K@ INDI",        "1 NAME Kid /Old/",
                                         "1 FAMC @F2@", "0 @L@ INDI",        "1 NAME Lone /Person/",
                                         "0 @F1@ FAM",  "1 HUSB @A@",        "1 WIFE @B@",
                                         "1 CHIL @S@",  "0 @F2@ FAM",        "1 HUSB @S@",
                                         "1 WIFE @W@",  "1 CHIL @K@"}));
    QVERIFY(tree.isValid());
    QCOMPARE(tree.rows.size(), 6);
    auto row = [&](const char *id) { return tree.rows[TestModel::rowOf(tree, id)].record; };
    QCOMPARE(row("A").PrntKey, QStringLiteral("ROOT"));
    QCOMPARE(row("B").PrntKey, QString()); // partner only: outside the line
    QCOMPARE(row("S").PrntKey, QStringLiteral("A"));
    QCOMPARE(row("W").PrntKey, QString());
    QCOMPARE(row("K").PrntKey, QStringLiteral("S")); // the partner who is a child
    QCOMPARE(row("L").PrntKey, QStringLiteral("ROOT"));
    // Partner columns from each person's first family, from the partner's row.
    QCOMPARE(row("S").PrtFname, QStringLiteral("Wendy"));
    QCOMPARE(row("W").PrtFname, QStringLiteral("Sam"));
    QCOMPARE(row("B").PrtSname, QStringLiteral("Old"));
    QVERIFY(row("L").PrtFname.isEmpty());
    // Notes hold nothing of families any more.
    for (const Gedcom::PlannedRow &r : tree.rows)
        QVERIFY(r.record.Notes.isEmpty());
    QCOMPARE(tree.modelCounts.families, 2);
    QCOMPARE(TestModel::check(tree), QStringList());
}

void TestModelImport::childrenFollowTheirBirthFamily()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @C@ INDI",     "1 FAMC @ADOPT@", "2 PEDI adopted", "1 FAMC @BORN@", "0 @D@ INDI",
         "1 FAMC @NOONE@", "0 @P1@ INDI",    "1 FAMS @ADOPT@", "0 @P2@ INDI",   "1 FAMS @BORN@",
         "0 @P3@ INDI",    "1 FAMS @BORN@",  "1 FAMC @G@",     "0 @G1@ INDI",   "1 FAMS @G@",
         "0 @ADOPT@ FAM",  "1 WIFE @P1@",    "1 CHIL @C@",     "0 @BORN@ FAM",  "1 HUSB @P2@",
         "1 WIFE @P3@",    "1 CHIL @C@",     "0 @NOONE@ FAM",  "1 CHIL @D@",    "0 @G@ FAM",
         "1 HUSB @G1@",    "1 CHIL @P3@"}));
    auto row = [&](const char *id) { return tree.rows[TestModel::rowOf(tree, id)].record; };
    // The birth family decides; its line parent is the partner who is a child (P3, the wife).
    QCOMPARE(row("C").PrntKey, QStringLiteral("P3"));
    QCOMPARE(parentsOf(tree, "C"), (QStringList{"P1", "P2+P3"}));
    const std::span<const quint32> links =
        tree.model.parentLinksOf(quint32(TestModel::rowOf(tree, "C")));
    QCOMPARE(int(tree.model.childLinks[links[0]].relation[0]), int(ChildRelation::Adopted));
    QCOMPARE(int(tree.model.childLinks[links[1]].relation[1]), int(ChildRelation::None));
    QCOMPARE(row("D").PrntKey, QStringLiteral("ROOT")); // a family without partners
    QCOMPARE(row("P2").PrntKey, QString());             // married in
    QCOMPARE(int(tree.model.families[1].wifeSlots), 2);
    QCOMPARE(TestModel::check(tree), QStringList());

    // The same families by keys, as the charts walk them: partners in their slots, a missing
    // partner empty, each child's relation to each partner.
    std::vector<PersonRecord> records;
    for (const PlannedRow &planned : tree.rows)
        records.push_back(planned.record);
    const std::vector<FamilyKeys> families = familyKeysOf(tree.model, records);
    QCOMPARE(families.size(), size_t(4));
    QCOMPARE(families[0].partner[0] + families[0].partner[1], QStringLiteral("P1"));
    QCOMPARE(families[0].children.size(), size_t(1));
    QCOMPARE(families[0].children[0].key, QStringLiteral("C"));
    QCOMPARE(int(families[0].children[0].relation[0]), int(ChildRelation::Adopted));
    QCOMPARE(families[1].partner[0] + QLatin1Char('+') + families[1].partner[1],
             QStringLiteral("P2+P3"));
    QCOMPARE(families[2].partner[0] + families[2].partner[1], QString());
    QCOMPARE(families[2].children[0].key, QStringLiteral("D"));
    QCOMPARE(families[3].id, QStringLiteral("F4"));
}

void TestModelImport::ownFilesKeepKeysAndParentKeys()
{
    const MappedTree tree = TestModel::map(TestGedcom::ownFile(
        {"0 @I1@ INDI", "1 REFN 17", "1 REFN key one", "2 TYPE VelkinTree", "0 @I2@ INDI",
         "1 REFN old style", "1 _PRNTKEY key one", "0 @I3@ INDI", "1 REFN I3", "2 TYPE VelkinTree",
         "1 _PRNTKEY gone", "0 @I4@ INDI", "1 REFN I4", "2 TYPE VelkinTree", "1 _PRNTKEY"}));
    QStringList ids, parents;
    for (const Gedcom::PlannedRow &row : tree.rows) {
        ids << row.record.ID;
        parents << row.record.PrntKey;
    }
    QCOMPARE(ids, (QStringList{"key one", "old style", "I3", "I4"}));
    QCOMPARE(parents, (QStringList{"ROOT", "key one", "gone", ""}));
    // The foreign REFN stays, kept as read.
    QCOMPARE(tree.modelCounts.keptByTag, (QList<QPair<QByteArray, qsizetype>>{{"REFN", 1}}));
}

void TestModelImport::namesKeepTheirPieces()
{
    const MappedTree tree =
        TestModel::map(TestGedcom::file({"0 @I1@ INDI",
                                         "1 NAME Lt. Joseph \"Jo\" /de Allen/ jr.",
                                         "2 NPFX Lt.",
                                         "2 GIVN Joseph",
                                         "2 NICK Jo",
                                         "2 SPFX de",
                                         "2 SURN Allen",
                                         "2 NSFX jr.",
                                         "1 NAME John /Doe/",
                                         "2 TYPE aka",
                                         "2 GIVN John",
                                         "1 NAME Nick",
                                         "2 TYPE stage name",
                                         "0 @I2@ INDI",
                                         "1 NAME Plain /Name/",
                                         "2 GIVN Plain",
                                         "2 SURN Name",
                                         "0 @I3@ INDI",
                                         "1 NAME Victoria  /Hanover/",
                                         "0 @I4@ INDI",
                                         "1 NAME //"}));
    const TreeModel &m = tree.model;
    QCOMPARE(tree.rows[0].record.Fname, QStringLiteral("Joseph"));
    QCOMPARE(tree.rows[0].record.Sname, QStringLiteral("Allen"));
    const std::span<const quint32> names = m.namesOf(0);
    QCOMPARE(names.size(), size_t(3));
    const Name &primary = m.names[names[0]];
    QVERIFY(primary.flags & Name::Primary);
    QVERIFY(primary.given.isEmpty() && primary.surname.isEmpty()); // the row holds them
    QCOMPARE(m.string(primary.nickname), QStringLiteral("Jo"));
    QCOMPARE(m.string(primary.suffix), QStringLiteral("jr."));
    QCOMPARE(m.string(primary.value), QStringLiteral("Lt. Joseph \"Jo\" /de Allen/ jr."));
    QCOMPARE(int(m.names[names[1]].type), int(NameType::Aka));
    QCOMPARE(m.string(m.names[names[1]].given), QStringLiteral("John"));
    QCOMPARE(int(m.names[names[2]].type), int(NameType::Other));
    QCOMPARE(m.string(m.names[names[2]].typeText), QStringLiteral("stage name"));
    // A name the row says in full needs no record; one it cannot say keeps its value.
    QVERIFY(m.namesOf(1).empty());
    QCOMPARE(m.string(m.names[m.namesOf(2)[0]].value), QStringLiteral("Victoria  /Hanover/"));
    QVERIFY(m.persons[2].flags & PersonSide::NoGivenLine);
    QCOMPARE(m.namesOf(3).size(), size_t(1));
    QCOMPARE(TestModel::check(tree), QStringList());
}

// The import keeps a NAME value only when it is not "Given /Surname/": the test of that must
// agree with the text it stands for, also for near misses.
void TestModelImport::composedNamesAreRecognised()
{
    const QString parts[][2] = {{"Anna", "Berg"}, {"", "Berg"}, {"Anna", ""},
                                {"", ""},         {"A", "B"},   {"Anna Maria", "von Berg"}};
    const QString values[] = {"Anna /Berg/",
                              "/Berg/",
                              "Anna //",
                              "//",
                              "A /B/",
                              "Anna/Berg/",
                              "Anna  /Berg/",
                              "Anna /Berg",
                              "Anna /Berg//",
                              "/Berg",
                              "Berg/",
                              "Anna Maria /von Berg/",
                              "",
                              "Anna /Berh/",
                              "Anns /Berg/",
                              "A /B/ "};
    for (const auto &[given, surname] : parts) {
        for (const QString &value : values)
            QVERIFY2(Model::isComposedName(value, given, surname) ==
                         (value == Model::composedName(given, surname)),
                     qPrintable(value + " | " + given + " | " + surname));
    }
}

void TestModelImport::theRowHoldsTheFirstBirthAndDeath()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @I1@ INDI", "1 BIRT",      "2 DATE 1 JAN 1900", "2 PLAC York",  "1 DEAT Y",
         "0 @I2@ INDI", "1 BIRT",      "2 DATE ABT  1800",  "2 SOUR @S1@",  "1 BIRT",
         "2 DATE 1801", "1 DEAT",      "2 PLAC Leeds",      "2 CAUS Fever", "0 @I3@ INDI",
         "1 BIRT",      "2 DATE 1850", "2 DATE 1851",       "0 @I4@ INDI",  "1 DEAT",
         "2 DATE",      "0 @S1@ SOUR", "1 TITL Register"}));
    const TreeModel &m = tree.model;
    const PersonRecord &first = tree.rows[0].record;
    QCOMPARE(first.Bdate, QStringLiteral("1 JAN 1900"));
    QCOMPARE(first.Bplace, QStringLiteral("York"));
    QVERIFY(!eventOf(tree, "I1", "BIRT")); // date and place only: the row is the record
    const Event *died = eventOf(tree, "I1", "DEAT");
    QVERIFY(died); // died, date unknown
    QCOMPARE(m.string(died->value), QStringLiteral("Y"));
    QVERIFY(first.Ddate.isEmpty());
    // With a citation the first birth has a record without date or place; the second birth is
    // an ordinary event with its own date.
    const PersonRecord &second = tree.rows[1].record;
    QCOMPARE(second.Bdate, QStringLiteral("ABT 1800"));
    const Event *born = eventOf(tree, "I2", "BIRT");
    QVERIFY(born && born->date.isEmpty() && born->place == kNoIndex);
    QCOMPARE(m.citationsOf(Ref(Kind::Event, quint32(born - m.events.all().data()))).size(),
             size_t(1));
    const Event *again = eventOf(tree, "I2", "BIRT", 1);
    QVERIFY(again);
    QCOMPARE(m.string(again->date), QStringLiteral("1801"));
    QCOMPARE(int(again->dateKind), int(DateKind::Exact));
    QCOMPARE(second.Dplace, QStringLiteral("Leeds"));
    const Event *death = eventOf(tree, "I2", "DEAT");
    QVERIFY(death && death->detail != kNoIndex);
    QCOMPARE(m.string(m.eventDetails[death->detail].cause), QStringLiteral("Fever"));
    // A second DATE under one event is kept as read, not lost.
    QCOMPARE(tree.rows[2].record.Bdate, QStringLiteral("1850"));
    QVERIFY(eventOf(tree, "I3", "BIRT"));
    // A death with an empty date still says the person died.
    QVERIFY(eventOf(tree, "I4", "DEAT"));
    QCOMPARE(TestModel::check(tree), QStringList());
    // Seven events were read; the summary counts them all, I1's birth (on its row alone) too.
    QCOMPARE(tree.modelCounts.events, 6);
    QCOMPARE(tree.modelCounts.eventsRead, 7);
    QVERIFY2(tree.summary().startsWith(QStringLiteral("Read 4 persons: 4 rows, 0 families, 7 "
                                                      "events, 1 source, 1 citation.")),
             qPrintable(tree.summary()));
}

void TestModelImport::theRowHoldsTheLastResidence()
{
    const MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @I1@ INDI", "1 RESI", "2 ADDR Old Street", "1 RESI", "2 DATE 1900",
                          "2 ADDR 5 New Road", "3 CONT Flat 2", "3 CITY Bath", "3 STAE Somerset",
                          "3 CTRY England", "1 RESI", "2 DATE 1910", "0 @I2@ INDI", "1 RESI",
                          "2 ADDR", "3 ADR1 Line one", "3 ADR2 Line two", "3 CITY Ely"}));
    const TreeModel &m = tree.model;
    const PersonRecord &row = tree.rows[0].record;
    QCOMPARE(row.Laddress, QStringLiteral("5 New Road\nFlat 2"));
    QCOMPARE(row.Lcity, QStringLiteral("Bath"));
    QCOMPARE(row.Lcountry, QStringLiteral("England"));
    const quint32 residence = RowRules::rowResidence(m, 0);
    QVERIFY(residence != kNoIndex);
    QCOMPARE(m.string(m.events[residence].date), QStringLiteral("1900"));
    const Address &rest = m.addresses[m.eventDetails[m.events[residence].detail].address];
    QCOMPARE(m.string(rest.state), QStringLiteral("Somerset"));
    QVERIFY(rest.line.isEmpty() && rest.city.isEmpty());
    QCOMPARE(tree.rows[1].record.Laddress, QStringLiteral("Line one\nLine two"));
    QCOMPARE(TestModel::check(tree), QStringList());
}

void TestModelImport::notesOfTheRowAndOfTheModel()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @I1@ INDI", "1 NOTE First note", "2 CONT its second line", "1 NOTE @N1@",
         "1 NOTE Second note", "1 NOTE With a source", "2 SOUR @S1@", "1 BIRT",
         "2 NOTE On the birth", "0 @N1@ NOTE Shared words", "0 @S1@ SOUR"}));
    const TreeModel &m = tree.model;
    QCOMPARE(tree.rows[0].record.Notes,
             QStringLiteral("First note\nits second line\n\nSecond note"));
    QCOMPARE(RowRules::splitNotes(m, 0, tree.rows[0].record.Notes),
             (QStringList{"First note\nits second line", "Second note"}));
    const std::span<const quint32> links = m.noteLinksOf(Ref(Kind::Person, 0));
    QCOMPARE(links.size(), size_t(2));
    QVERIFY(m.notes[m.noteLinks[links[0]].note].flags & Note::Shared);
    QCOMPARE(m.string(m.notes[m.noteLinks[links[1]].note].text), QStringLiteral("With a source"));
    // A note's citation is kept as read under the note (notes are no citation's owner).
    QCOMPARE(m.keptOf(Ref(Kind::Note, m.noteLinks[links[1]].note)).size(), size_t(1));
    // A note the user edits into something else is written whole.
    QCOMPARE(RowRules::splitNotes(m, 0, QStringLiteral("edited")), QStringList{"edited"});
}

void TestModelImport::placesAreSharedAndComplete()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @I1@ INDI", "1 BIRT", "2 PLAC Bath, England", "1 CHR", "2 PLAC Bath, England", "3 MAP",
         "4 LATI N51.38", "4 LONG W2.36", "1 BURI", "2 PLAC Bath, England", "3 MAP", "4 LATI N9",
         "4 LONG W9", "1 GRAD", "2 PLAC Ely", "3 FORM Town", "3 _GOV http://example.com/ely"},
        {"1 GEDC", "2 VERS 5.5.1", "1 PLAC", "2 FORM City, Country"}));
    const TreeModel &m = tree.model;
    QCOMPARE(m.places.size(), 3u); // Bath (coordinates added), Bath elsewhere, Ely
    const quint32 bath = m.findPlace("Bath, England");
    QCOMPARE(m.string(m.places[bath].latitude), QStringLiteral("N51.38"));
    QCOMPARE(m.string(m.defaultPlaceForm), QStringLiteral("City, Country"));
    const quint32 ely = m.findPlace("Ely");
    QCOMPARE(m.string(m.places[ely].form), QStringLiteral("Town"));
    // The place's unknown line is kept under the GRAD's PLAC.
    const Event *grad = eventOf(tree, "I1", "GRAD");
    const std::span<const quint32> kept =
        m.keptOf(Ref(Kind::Event, quint32(grad - m.events.all().data())));
    QCOMPARE(kept.size(), size_t(1));
    QCOMPARE(m.string(m.kept[kept[0]].path), QStringLiteral("PLAC:0"));
    QCOMPARE(m.kept[kept[0]].position, 1u);
}

void TestModelImport::citationsSourcesAndMedia()
{
    const MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @I1@ INDI",     "1 SOUR @S1@",      "2 PAGE p. 12",
                          "2 QUAY 3",        "2 DATA",           "3 DATE 1 JAN 1900",
                          "3 TEXT Quoted",   "2 OBJE @O1@",      "1 SOUR Inline source text",
                          "1 SOUR @S9@",     "1 OBJE",           "2 FILE photo.jpg",
                          "3 FORM jpg",      "2 TITL Portrait",  "0 @S1@ SOUR",
                          "1 TITL Register", "1 AUTH Clerk",     "1 REPO @R1@",
                          "2 CALN A-1",      "2 CALN B-2",       "0 @R1@ REPO",
                          "1 NAME Archive",  "1 ADDR 1 High St", "0 @O1@ OBJE",
                          "1 FILE scan.png", "2 FORM png",       "2 TITL Scan"}));
    const TreeModel &m = tree.model;
    const std::span<const quint32> cited = m.citationsOf(Ref(Kind::Person, 0));
    QCOMPARE(cited.size(), size_t(2)); // the inline source is kept as read
    const Citation &c = m.citations[cited[0]];
    QCOMPARE(m.string(c.page), QStringLiteral("p. 12"));
    QCOMPARE(int(c.quality), 3);
    QCOMPARE(m.string(c.text), QStringLiteral("Quoted"));
    QCOMPARE(m.string(m.sources[c.source].title), QStringLiteral("Register"));
    QCOMPARE(m.citations[cited[1]].source, kNoIndex); // a source the file lacks
    QCOMPARE(m.mediaLinksOf(Ref(Kind::Citation, cited[0])).size(), size_t(1));
    QCOMPARE(m.string(m.repositoryLinks[0].callNumbers), QStringLiteral("A-1\nB-2"));
    QCOMPARE(m.string(m.repositories[0].name), QStringLiteral("Archive"));
    const std::span<const quint32> media = m.mediaLinksOf(Ref(Kind::Person, 0));
    QCOMPARE(media.size(), size_t(1));
    const Media &inlined = m.media[m.mediaLinks[media[0]].media];
    QVERIFY(inlined.flags & Media::Inline);
    QCOMPARE(m.string(inlined.title), QStringLiteral("Portrait"));
    QCOMPARE(tree.modelCounts.sources, 1);
    QCOMPARE(tree.modelCounts.citations, 2);
}

void TestModelImport::sexPrivacyAssociations()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @I1@ INDI", "1 SEX X", "1 RESN confidential, locked", "1 ASSO @I2@", "2 ROLE GODP",
         "3 PHRASE godmother", "1 ASSO @I3@", "2 RELA Witness", "1 ALIA @I2@", "1 SEX M", "1 BIRT",
         "2 RESN privacy", "0 @I2@ INDI", "1 SEX female", "0 @I3@ INDI"},
        {"1 GEDC", "2 VERS 7.0"}));
    const TreeModel &m = tree.model;
    QCOMPARE(int(m.persons[0].sex), int(Sex::Intersex));
    QCOMPARE(int(m.persons[0].privacy), int(Privacy::Confidential | Privacy::Locked));
    QCOMPARE(int(m.persons[1].sex), int(Sex::None)); // "female" is no GEDCOM sex: kept
    const std::span<const quint32> associations = m.associationsOf(0);
    QCOMPARE(associations.size(), size_t(3));
    QCOMPARE(m.string(m.associations[associations[0]].relation), QStringLiteral("GODP"));
    QCOMPARE(m.string(m.associations[associations[0]].phrase), QStringLiteral("godmother"));
    QCOMPARE(m.string(m.associations[associations[1]].relation), QStringLiteral("Witness"));
    QCOMPARE(int(m.associations[associations[2]].kind), int(AssociationKind::Alias));
    QCOMPARE(int(eventOf(tree, "I1", "BIRT")->privacy), int(Privacy::Private));
    QCOMPARE(tree.modelCounts.keptByTag, (QList<QPair<QByteArray, qsizetype>>{{"SEX", 2}}));
}

void TestModelImport::keptStructuresKeepOwnerPathAndPosition()
{
    const MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @I1@ INDI", "1 _UID ABC", "1 NAME A /B/", "2 _MARNM C", "1 _LINK @I2@",
                          "2 _SUB x", "0 @I2@ INDI", "0 @X@ _PLACE", "1 NAME Somewhere",
                          "1 _OF @I1@", "0 @U1@ SUBM", "1 NAME Me"},
                         {"1 GEDC", "2 VERS 5.5.1", "1 SUBM @U1@", "1 _HME yes"}));
    const TreeModel &m = tree.model;
    const std::span<const quint32> person = m.keptOf(Ref(Kind::Person, 0));
    QCOMPARE(person.size(), size_t(2));
    QCOMPARE(m.kept[person[0]].position, 0u);
    QCOMPARE(m.kept[person[1]].position, 2u);
    const std::span<const KeptLine> link = m.linesOf(m.kept[person[1]]);
    QCOMPARE(link.size(), size_t(2));
    QCOMPARE(int(link[0].kind), int(KeptLine::Value::Pointer));
    QCOMPARE(link[0].target, Ref(Kind::Person, 1));
    QCOMPARE(link[1].level, quint16(1));
    QCOMPARE(m.keptOf(Ref(Kind::Name, m.namesOf(0)[0])).size(), size_t(1));
    // Records of their own, in file order: pointers to them are symbolic too.
    const std::span<const quint32> records = m.keptOf(Ref());
    QCOMPARE(records.size(), size_t(2));
    QCOMPARE(m.linesOf(m.kept[records[0]])[2].target, Ref(Kind::Person, 0));
    const std::span<const quint32> header = m.keptOf(Ref(Kind::Header, 0));
    QCOMPARE(header.size(), size_t(2));
    QCOMPARE(m.linesOf(m.kept[header[0]])[0].target, Ref(Kind::Kept, 1));
    QCOMPARE(tree.modelCounts.kept, 7);
    QVERIFY(tree.summary().contains(QStringLiteral("Kept as read: ")));
    QVERIFY(!tree.summary().contains(QStringLiteral("unknown tags")));
}

void TestModelImport::oddLinksAreKeptNotInvented()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @A@ INDI",       "1 FAMS @F@",    "0 @B@ INDI",    "1 FAMS @F@",
         "0 @C@ INDI",       "1 FAMS @F@",    "0 @K@ INDI",    "1 FAMC @F@",
         "1 FAMC @MISSING@", "1 FAMS @VOID@", "0 @A@ INDI",    "1 NAME Second of an id",
         "0 @F@ FAM",        "1 HUSB @A@",    "1 WIFE @B@",    "1 HUSB @C@",
         "1 CHIL @K@",       "1 CHIL @K@",    "1 CHIL @VOID@", "0 @F@ FAM",
         "1 HUSB @K@"}));
    const TreeModel &m = tree.model;
    QCOMPARE(tree.rows.size(), 5); // the second @A@ is a row of its own
    QCOMPARE(tree.rows[4].record.ID, QStringLiteral("A-2"));
    // The second @F@ is a family of its own, linked by its own lines (pointers to @F@ name the
    // first).
    QCOMPARE(m.families.size(), 2u);
    QCOMPARE(familyPartners(tree, 0), QStringLiteral("A+B"));
    QCOMPARE(familyPartners(tree, 1), QStringLiteral("K"));
    QCOMPARE(m.partnershipsOf(3).size(), size_t(1));
    // The third partner's lines, the second CHIL, @VOID@ and the broken FAMC stay as read.
    QCOMPARE(m.keptOf(Ref(Kind::Person, 2)).size(), size_t(1));
    QCOMPARE(m.keptOf(Ref(Kind::Family, 0)).size(), size_t(3));
    QCOMPARE(m.keptOf(Ref(Kind::Person, 3)).size(), size_t(2));
    QCOMPARE(m.childLinks.size(), 1u);
    QCOMPARE(TestModel::check(tree), QStringList());
}

void TestModelImport::photosOfThePerson()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir(dir.path()).mkpath("b");
    for (const char *name : {"a.jpg", "b/a.jpg", "c.png"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("picture");
    }
    ImportContext context;
    context.gedcomFolder = dir.path();
    context.isImage = [](QIODevice &) { return true; };
    const MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @I1@ INDI", "1 OBJE", "2 FILE a.jpg", "1 OBJE @O1@", "1 BIRT",
                          "2 OBJE", "3 FILE c.png", "0 @O1@ OBJE", "1 FILE b/a.jpg",
                          "1 FILE missing.jpg", "1 FILE https://example.com/far.jpg"}),
        context);
    // The person's own objects are its photos (the birth's is the event's media only).
    const QList<PhotoCopy> &photos = tree.rows[0].photos;
    QCOMPARE(photos.size(), 2);
    QCOMPARE(photos[0].name, QStringLiteral("a.jpg"));
    QCOMPARE(photos[1].name, QStringLiteral("a (2).jpg"));
    QCOMPARE(tree.counts.photosMissing, 1);
    QCOMPARE(tree.counts.photosRemote, 1);
    QCOMPARE(tree.model.mediaLinksOf(Ref(Kind::Person, 0)).size(), size_t(2));
    // The record's further files are kept as read under it.
    QCOMPARE(tree.model.keptOf(Ref(Kind::Media, 0)).size(), size_t(2));
}

void TestModelImport::version7Structures()
{
    const MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @I1@ INDI",
                          "1 BAPL",
                          "2 DATE 27 MAR 2022",
                          "2 TEMP LOGAN",
                          "1 CHR",
                          "2 AGE < 0y",
                          "3 PHRASE Zero",
                          "1 EXID 123",
                          "2 TYPE http://example.com",
                          "1 SNOTE @N1@",
                          "1 NOTE Inline",
                          "2 MIME text/plain",
                          "1 FAMS @F1@",
                          "0 @F1@ FAM",
                          "1 HUSB @I1@",
                          "2 PHRASE The groom",
                          "1 SLGS",
                          "2 DATE 1 JAN 2000",
                          "0 @N1@ SNOTE Shared",
                          "2 CONT second line"},
                         {"1 GEDC", "2 VERS 7.0", "1 SCHMA", "2 TAG _X http://example.com/x"}));
    const TreeModel &m = tree.model;
    const Event *bapl = eventOf(tree, "I1", "BAPL");
    QVERIFY(bapl);
    QCOMPARE(m.string(bapl->date), QStringLiteral("27 MAR 2022"));
    QCOMPARE(m.keptOf(Ref(Kind::Event, quint32(bapl - m.events.all().data()))).size(), size_t(1));
    const Event *chr = eventOf(tree, "I1", "CHR");
    QCOMPARE(m.string(m.eventDetails[chr->detail].age), QStringLiteral("< 0y"));
    QCOMPARE(m.string(m.eventDetails[chr->detail].agePhrase), QStringLiteral("Zero"));
    QCOMPARE(m.string(m.notes[0].text), QStringLiteral("Shared\nsecond line"));
    QVERIFY(tree.rows[0].record.Notes.isEmpty()); // the inline note has more than its text
    QCOMPARE(m.eventsOf(Ref(Kind::Family, 0)).size(), size_t(1));
    QCOMPARE(m.keptTagName(m.linesOf(m.kept[m.keptOf(Ref(Kind::Family, 0))[0]])[0].tag),
             QByteArrayView("PHRASE"));
    QCOMPARE(m.string(m.kept[m.keptOf(Ref(Kind::Family, 0))[0]].path), QStringLiteral("HUSB:0"));
    QCOMPARE(m.extensionTags.size(), size_t(1));
    QCOMPARE(m.string(m.extensionTags[0].uri), QStringLiteral("http://example.com/x"));
    QCOMPARE(TestModel::check(tree), QStringList());
}

void TestModelImport::cancelledByProgress()
{
    QStringList body;
    for (int i = 0; i < 5000; ++i)
        body << QStringLiteral("0 @I%1@ INDI").arg(i);
    const Document doc = Document::fromBytes(TestGedcom::file(body));
    int asked = 0;
    const MappedTree tree = mapDocument(doc, ImportContext(), [&asked](qint64, qint64) {
        ++asked;
        return false;
    });
    QCOMPARE(asked, 1);
    QVERIFY(!tree.isValid());
    QVERIFY(tree.rows.isEmpty());
    QCOMPARE(tree.error.text(), QStringLiteral("The import was cancelled."));
    QVERIFY(tree.error.is(ErrorCode::Cancelled));
}

QTEST_GUILESS_MAIN(TestModelImport)
#include "tst_modelimport.moc"
