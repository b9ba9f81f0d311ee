// The details window and its draft, through the real window on a real database file: every
// editing path from the keyboard, the rows following the records, refusals and the sources.
#include "DateEcho.h"
#include "DetailsWindow.h"
#include "DraftRecords.h"
#include "KeyScript.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "PersonDraft.h"
#include "RowRules.h"
#include "ScriptedMessageService.h"
#include "SourcesWindow.h"
#include "TestRows.h"
#include "TreeCheck.h"
#include "frmEdit.h"
#include "mDatabase.h"
#include "support_fakehost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Genealogy;

namespace {

// Anna (I1, a root whose partner columns name Bert Holm, with no family) and her child Carl
// (I2): rows alone, as a tree made by hand has them.
std::vector<PersonRow> handMade()
{
    std::vector<PersonRow> rows = {row("I1", "ROOT", "Anna", "Berg", "Bert", "Holm"),
                                   row("I2", "I1", "Carl", "Berg")};
    rows[0].Bdate = "1 JAN 1900";
    rows[0].Bplace = "Lund";
    return rows;
}

quint32 eventOfType(const TreeModel &m, quint32 person, const char *tag)
{
    for (quint32 e : m.eventsOf(Ref(Kind::Person, person)))
        if (m.events[e].type == EventTypes::find(tag, false))
            return e;
    return kNoIndex;
}

} // namespace

class tst_detailswindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_stores = 0;

    std::unique_ptr<mDatabase> withTree(const std::vector<PersonRow> &rows,
                                        const TreeModel *model = nullptr)
    {
        auto store = std::make_unique<mDatabase>();
        const QString folder = m_dir.filePath(QString::number(++m_stores)) + '/';
        store->SetPaths(folder, folder + "people.db");
        if (!store->OpenDatabase())
            return nullptr;
        NewTreeWriter writer(*store);
        if (!writer.Begin("Family"))
            return nullptr;
        for (const PersonRow &r : rows)
            if (!writer.Add(r))
                return nullptr;
        if (model && !ModelStore::writeModelInTransaction(*store, "Family", rows, *model))
            return nullptr;
        if (!writer.Commit())
            return nullptr;
        return store;
    }

    static QStringList problems(const mDatabase &store)
    {
        const Result<QStringList> lines = ModelStore::checkTree(store, "Family");
        return lines ? *lines : QStringList{lines.error().text()};
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // The date typed says in words what it means; text that is no date says so.
    void dateEcho()
    {
        QCOMPARE(DateEcho::of("abt 1850").text, QString("about 1850"));
        QCOMPARE(DateEcho::of("BET 1850 AND 1860").text, QString("between 1850 and 1860"));
        QCOMPARE(DateEcho::of("12 mar 1850").text, QString("12 March 1850"));
        QCOMPARE(DateEcho::of("FROM 1900 TO 1910").text, QString("from 1900 to 1910"));
        QVERIFY(DateEcho::of("").valid);
        QVERIFY(!DateEcho::of("sometime in spring").valid);
        QVERIFY(DateEcho::of("(in the war)").valid);
        // A range that ends before it begins says so and is refused.
        const DateEcho::Echo backwards = DateEcho::of("BET 1900 AND 1850");
        QCOMPARE(backwards.text, QString("between 1900 and 1850: the second date is before the "
                                         "first"));
        QVERIFY(!backwards.valid);
        QCOMPARE(DateEcho::refusal(" from 1900 to 1850 "),
                 QString("The date 'from 1900 to 1850' ends before it begins: write the earlier "
                         "date first."));
        QCOMPARE(DateEcho::refusal("BET 1850 AND 1900"), QString());
        QCOMPARE(DateEcho::refusal("1900"), QString());
    }

    // A family whose relation is not stated but that has a marriage shows as married; the
    // relation kept stays as it was (the Relation box shows it), also after the save.
    void marriageShowsAsMarried()
    {
        auto store = withTree(handMade());
        QVERIFY(store);
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        KeyScript script;
        DetailsWindow window(*store, "Family", "I1", store->DataPath());
        QVERIFY(window.isLoaded());
        window.show();
        QVERIFY(KeyScript::activate(window));
        script.key(Qt::Key_F, Qt::AltModifier);
        auto *families = window.findChild<QTreeWidget *>("lstFamilies");
        messages.enqueue(MsgResult::Yes); // Bert Holm of the partner columns becomes a person
        script.then([&](QDialog &) {
            KeyScript::type("Emil Ek");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_P, Qt::AltModifier);
        QCOMPARE(families->topLevelItemCount(), 2);
        QTreeWidgetItem *emil = families->currentItem();
        QVERIFY(emil->text(0).contains("Emil Ek"));
        QCOMPARE(emil->text(1), QString("unknown"));
        script.then([&](QDialog &) {
            KeyScript::type("Marr");
            script.key(Qt::Key_Tab);
            KeyScript::type("1925");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_Y, Qt::AltModifier);
        QCOMPARE(script.failures, QStringList());
        QCOMPARE(families->topLevelItem(1)->text(1), QString("married"));
        QCOMPARE(families->topLevelItem(0)->text(1), QString("unknown")); // Bert: no marriage
        families->setCurrentItem(families->topLevelItem(1));
        QCOMPARE(window.findChild<QComboBox *>("cboRelation")->currentText(), QString("unknown"));

        window.tabs()->setCurrentIndex(0);
        window.findChild<QTreeWidget *>("lstEvents")->setFocus();
        script.key(Qt::Key_Return);
        QVERIFY(window.wasSaved());
        const Result<ModelSlice> slice = ModelStore::readTree(*store, "Family");
        QVERIFY(slice);
        const TreeModel &m = slice->model;
        int marriages = 0;
        for (quint32 f = 0; f < m.families.size(); ++f) {
            QCOMPARE(m.families[f].relation, FamilyRelation::Unknown);
            for (quint32 e : m.eventsOf(Ref(Kind::Family, f)))
                marriages += m.events[e].type == EventTypes::find("MARR", true);
        }
        QCOMPARE(marriages, 1);
    }

    // The event window refuses a range typed that ends before it begins, the keyboard left in
    // the date; put right, the event is added. Such a date as read stays as written when
    // something else of its event is edited.
    void backwardsRangeIsRefused()
    {
        std::vector<PersonRow> rows = handMade();
        rows[0].Bdate = "BET 1900 AND 1850";
        auto store = withTree(rows);
        QVERIFY(store);
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        KeyScript script;
        DetailsWindow window(*store, "Family", "I1", store->DataPath());
        QVERIFY(window.isLoaded());
        window.show();
        QVERIFY(KeyScript::activate(window));
        auto *events = window.findChild<QTreeWidget *>("lstEvents");
        const int before = events->topLevelItemCount();
        bool dateKeptFocus = false;
        script.then([&](QDialog &d) {
            KeyScript::type("Bapt");
            script.key(Qt::Key_Tab);
            KeyScript::type("BET 1900 AND 1850");
            script.key(Qt::Key_Return);
            auto *date = d.findChild<QLineEdit *>("txtDate");
            dateKeptFocus = d.isVisible() && date->hasFocus();
            date->selectAll();
            KeyScript::type("BET 1850 AND 1900");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_Insert);
        QCOMPARE(script.failures, QStringList());
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QString("The date 'BET 1900 AND 1850' ends before it "
                                               "begins: write the earlier date first."));
        QVERIFY(dateKeptFocus);
        QCOMPARE(events->topLevelItemCount(), before + 1);
        QCOMPARE(events->currentItem()->text(0), QString("Baptism"));

        events->setCurrentItem(events->findItems("Birth", Qt::MatchExactly).value(0)); // as read
        QVERIFY(events->currentItem());
        script.then([&](QDialog &d) {
            d.findChild<QLineEdit *>("txtPlace")->setText("Malmö");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_F2);
        QCOMPARE(script.failures, QStringList());
        QCOMPARE(messages.count(), 1);
        events->setFocus();
        script.key(Qt::Key_Return);
        QVERIFY(window.wasSaved());
        const PersonRecord anna = *store->FindPerson("Family", "I1");
        QCOMPARE(anna.Bdate, QString("BET 1900 AND 1850"));
        QCOMPARE(anna.Bplace, QString("Malmö"));
    }

    // The row keeps its columns: the row's birth is edited as an event and goes back to the row;
    // a birth record made only for editing goes again when it holds nothing more, and stays
    // when it got a citation; removing an event takes its citations; the primary name stays.
    void draftFollowsTheRowRules()
    {
        ModelSlice tree;
        tree.rows = handMade();
        tree.person = 0;
        {
            PersonDraft draft(tree);
            const ModelSlice same = draft.result();
            QCOMPARE(same.rows[0], tree.rows[0]);
            QCOMPARE(same.model.events.size(), 0u);
            QVERIFY(!draft.isChanged());
        }
        PersonDraft draft(tree);
        const Ref anna(Kind::Person, 0);
        const quint32 birth = draft.events(anna).at(0);
        PersonDraft::EventFields fields = draft.event(birth);
        QCOMPARE(fields.date, QString("1 JAN 1900"));
        QCOMPARE(fields.place, QString("Lund"));
        fields.date = "abt 1901";
        draft.setEvent(birth, fields);
        const quint32 source = draft.addSource({"Parish register", "", ""});
        draft.cite(Ref(Kind::Event, birth), {source, "p. 4", 3, "born", QString()});
        PersonDraft::EventFields death;
        death.type = EventTypes::death();
        death.date = "1980";
        const quint32 d = draft.addEvent(anna, death);
        ModelSlice result = draft.result();
        QCOMPARE(result.rows[0].Bdate, QString("ABT 1901"));
        QCOMPARE(result.rows[0].Ddate, QString("1980"));
        QVERIFY2(checkTree(result.rows, result.model).isEmpty(),
                 qPrintable(checkTree(result.rows, result.model).join('\n')));
        // The birth record stays for its citation; the bare death goes back to the row alone.
        QCOMPARE(result.model.eventsOf(anna).size(), size_t(1));

        // Removing the birth takes its citation; the row has no birth then.
        draft.removeEvent(birth);
        QCOMPARE(draft.model().citations.size(), 0u);
        result = draft.result();
        QCOMPARE(result.rows[0].Bdate, QString());
        QCOMPARE(result.rows[0].Bplace, QString());
        QVERIFY(checkTree(result.rows, result.model).isEmpty());
        Q_UNUSED(d);

        // Names: the row's name is first and cannot go; others move and go.
        PersonDraft::NameFields marriedName;
        marriedName.type = NameType::Married;
        marriedName.given = "Anna";
        marriedName.surname = "Holm";
        const quint32 married = draft.addName(marriedName);
        PersonDraft::NameFields akaName;
        akaName.type = NameType::Aka;
        akaName.given = "Annie";
        const quint32 aka = draft.addName(akaName);
        QCOMPARE(draft.names(), (std::vector<quint32>{kNoIndex, married, aka}));
        QVERIFY(!draft.removeName(kNoIndex));
        QVERIFY(!draft.moveName(married, -1));
        QVERIFY(draft.moveName(aka, -1));
        QCOMPARE(draft.name(draft.names()[1]).given, QString("Annie"));
        PersonDraft::NameFields primary = draft.name(kNoIndex);
        primary.nickname = "Nan";
        draft.setName(kNoIndex, primary);
        QCOMPARE(draft.names().size(), size_t(3));
        QVERIFY(draft.model().names[draft.names()[0]].flags & Name::Primary);
        QVERIFY(draft.removeName(draft.names()[2]));
        result = draft.result();
        QVERIFY2(checkTree(result.rows, result.model).isEmpty(),
                 qPrintable(checkTree(result.rows, result.model).join('\n')));
    }

    // Another name as the file wrote it, without its pieces ("1 NAME Hotspur"), shows and edits
    // as its given names and surname; changed, it keeps them as its pieces.
    void namesAsWrittenShowTheirParts()
    {
        ModelSlice tree;
        tree.rows = handMade();
        tree.person = 0;
        tree.model.persons.resize(tree.rows.size());
        const auto written = [&tree](const char16_t *line) {
            Name name;
            name.person = 0;
            name.type = NameType::Aka;
            name.flags = Name::HasValue;
            name.value = tree.model.text(QStringView(line));
            return tree.model.names.add(name);
        };
        const quint32 hotspur = written(u"Hotspur");
        const quint32 bill = written(u"Bill /Smith/ Jr");
        // Changed by an earlier version: the line kept, the flag gone.
        const quint32 hal = written(u"Hal");
        tree.model.names.edit(hal).flags = 0;
        PersonDraft draft(tree);
        QCOMPARE(draft.name(hal).given, QString("Hal"));
        QCOMPARE(draft.name(hotspur).given, QString("Hotspur"));
        QCOMPARE(draft.name(hotspur).surname, QString());
        QCOMPARE(draft.name(bill).given, QString("Bill Jr"));
        QCOMPARE(draft.name(bill).surname, QString("Smith"));
        QVERIFY(!draft.isChanged());
        PersonDraft::NameFields nick = draft.name(hotspur);
        nick.nickname = "Harry";
        draft.setName(hotspur, nick);
        const ModelSlice result = draft.result();
        const Name &changed = result.model.names[hotspur];
        QVERIFY(!(changed.flags & Name::HasValue));
        QCOMPARE(result.model.string(changed.given), QString("Hotspur"));
        QCOMPARE(result.model.string(changed.nickname), QString("Harry"));
        QVERIFY(result.model.names[bill].flags & Name::HasValue);
    }

    // Removing a record renumbers the others of its table and every link follows: the citation
    // of the event after the removed one still names that event.
    void removingKeepsLinks()
    {
        TreeModel m;
        m.persons.resize(1);
        for (const char *tag : {"OCCU", "EDUC", "RELI"}) {
            Event e;
            e.owner = Ref(Kind::Person, 0);
            e.type = EventTypes::find(tag, false);
            m.events.add(e);
        }
        Citation c;
        c.owner = Ref(Kind::Event, 2);
        m.citations.add(c);
        Note note;
        const quint32 n = m.notes.add(note);
        m.noteLinks.add({Ref(Kind::Event, 0), n});
        m.noteLinks.add({Ref(Kind::Citation, 0), n});
        DraftRecords::remove(m, DraftRecords::Table::Event, 0);
        QCOMPARE(m.events.size(), 2u);
        QCOMPARE(m.noteLinks.size(), 1u);
        QCOMPARE(m.noteLinks[0].owner, Ref(Kind::Citation, 0));
        QCOMPARE(m.citations[0].owner, Ref(Kind::Event, 1));
        QCOMPARE(m.events[1].type, EventTypes::find("RELI", false));
        DraftRecords::swap(m, DraftRecords::Table::Event, 0, 1);
        QCOMPARE(m.citations[0].owner, Ref(Kind::Event, 0));
        QCOMPARE(m.events[0].type, EventTypes::find("RELI", false));
    }

    // An event removed in the window takes everything it owned along, and the store's check
    // finds nothing left over: its details and their address, its own note, its kept
    // structure with its lines; the other event's kept lines stay its own.
    void removedEventLeavesNothingBehind()
    {
        std::vector<PersonRow> rows = handMade();
        TreeModel m;
        m.persons.resize(rows.size());
        const auto keptWithLines = [&m](Ref owner, const char *tag, const char *value) {
            Kept kept;
            kept.owner = owner;
            kept.firstLine = m.keptLines.size();
            kept.lineCount = 2;
            m.kept.add(kept);
            KeptLine top;
            top.tag = m.keptTag(tag);
            m.keptLines.add(top);
            KeptLine under;
            under.level = 1;
            under.tag = m.keptTag("_VAL");
            under.kind = KeptLine::Value::Text;
            under.value = m.text(QByteArrayView(value));
            m.keptLines.add(under);
        };
        Event occupation;
        occupation.owner = Ref(Kind::Person, 0);
        occupation.type = EventTypes::find("OCCU", false);
        Address address;
        address.city = m.text(QStringView(u"Lund"));
        address.present = true;
        EventDetail detail;
        detail.address = m.addresses.add(address);
        occupation.detail = m.eventDetails.add(detail);
        const quint32 gone = m.events.add(occupation);
        Note note;
        note.text = m.text(QStringView(u"at the mill"));
        m.noteLinks.add({Ref(Kind::Event, gone), m.notes.add(note)});
        keptWithLines(Ref(Kind::Event, gone), "_GONE", "1");
        Event education = occupation;
        education.type = EventTypes::find("EDUC", false);
        education.detail = kNoIndex;
        const quint32 stays = m.events.add(education);
        keptWithLines(Ref(Kind::Event, stays), "_STAYS", "2");
        auto store = withTree(rows, &m);
        QVERIFY(store);
        QCOMPARE(problems(*store), QStringList());

        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "I1");
        QVERIFY(read);
        PersonDraft draft(read->tree);
        draft.removeEvent(eventOfType(draft.model(), 0, "OCCU"));
        QVERIFY(ModelEdit::applyEdit(*store, "Family", *read, draft.result()));
        QCOMPARE(problems(*store), QStringList());
        const ModelSlice tree = *ModelStore::readTree(*store, "Family");
        QCOMPARE(tree.model.events.size(), 1u);
        QCOMPARE(tree.model.eventDetails.size(), 0u);
        QCOMPARE(tree.model.addresses.size(), 0u);
        QCOMPARE(tree.model.notes.size(), 0u);
        QCOMPARE(tree.model.kept.size(), 1u);
        const auto lines = tree.model.linesOf(tree.model.kept[0]);
        QCOMPARE(lines.size(), size_t(2));
        QCOMPARE(tree.model.keptTagName(lines[0].tag), QByteArrayView("_STAYS"));
        QCOMPARE(tree.model.string(lines[1].value), QString("2"));
    }

    // A very long name (of one word or many) neither widens the window past the screen nor hides
    // its buttons: the header wraps or cuts it, and its tip holds it whole.
    void longNameKeepsTheWindowNarrow()
    {
        const QString word = QString("Wolfeschlegelsteinhausenbergerdorff").repeated(6);
        for (const QString &surname : {word, QString("Maria ").repeated(40).trimmed()}) {
            std::vector<PersonRow> rows = handMade();
            rows[0].Sname = surname;
            auto store = withTree(rows);
            QVERIFY(store);
            DetailsWindow window(*store, "Family", "I1", store->DataPath());
            QVERIFY(window.isLoaded());
            QVERIFY2(window.minimumSizeHint().width() < 900,
                     qPrintable(QString::number(window.minimumSizeHint().width())));
            QVERIFY(window.findChild<QLabel *>("lblPerson")->toolTip().contains(surname));
        }
    }

    // In the Families tab, Delete and the moves are offered for what they act on: a family's
    // event is deleted, a child moves, a family row or a child is never deleted (the buttons are
    // off there rather than doing nothing).
    void familyButtonsFollowTheEntry()
    {
        std::vector<PersonRow> rows = handMade();
        rows[0].PrtFname.clear();
        rows[0].PrtSname.clear();
        TreeModel m;
        m.persons.resize(rows.size());
        Family family;
        family.partner[0] = 0;
        const quint32 f = m.families.add(family);
        m.partnerships.add({0, f});
        ChildLink link;
        link.family = f;
        link.child = 1;
        m.childLinks.add(link);
        Event marriage;
        marriage.owner = Ref(Kind::Family, f);
        marriage.type = EventTypes::find("MARR", true);
        marriage.date = m.text(QStringView(u"1925"));
        m.events.add(marriage);
        auto store = withTree(rows, &m);
        QVERIFY(store);
        QCOMPARE(problems(*store), QStringList());
        DetailsWindow window(*store, "Family", "I1", store->DataPath());
        QVERIFY(window.isLoaded());
        auto *families = window.findChild<QTreeWidget *>("lstFamilies");
        auto *remove = window.findChild<QPushButton *>("cmdDeleteFamilyItem");
        auto *up = window.findChild<QPushButton *>("cmdFamilyItemUp");
        QTreeWidgetItem *familyRow = families->topLevelItem(0);
        QVERIFY(familyRow);
        QCOMPARE(familyRow->childCount(), 2);
        families->setCurrentItem(familyRow);
        QVERIFY(!remove->isEnabled());
        QVERIFY(!up->isEnabled());
        QTreeWidgetItem *eventRow = nullptr, *childRow = nullptr;
        for (int i = 0; i < familyRow->childCount(); ++i) {
            const Ref ref = Ref::fromBits(familyRow->child(i)->data(0, Qt::UserRole).toUInt());
            (ref.is(Kind::Event) ? eventRow : childRow) = familyRow->child(i);
        }
        QVERIFY(eventRow && childRow);
        families->setCurrentItem(childRow);
        QVERIFY(!remove->isEnabled());
        QVERIFY(up->isEnabled());
        families->setCurrentItem(eventRow);
        QVERIFY(remove->isEnabled());
        remove->click();
        QCOMPARE(families->topLevelItem(0)->childCount(), 1);
    }

    // Every editing path from the keyboard: an event with its date echoed in words, edited and
    // cited with a new source; a name; a partner (the partner columns' person first, after the
    // question), a child of both; sex and the private flag. Return saves, and the store holds it.
    void editsFromTheKeyboard()
    {
        auto store = withTree(handMade());
        QVERIFY(store);
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        KeyScript script;
        DetailsWindow window(*store, "Family", "I1", store->DataPath());
        QVERIFY(window.isLoaded());
        window.show();
        QVERIFY(KeyScript::activate(window));
        auto *events = window.findChild<QTreeWidget *>("lstEvents");
        QVERIFY(events->hasFocus());
        QCOMPARE(events->topLevelItemCount(), 1); // the row's birth

        QString echo;
        script.then([&](QDialog &d) {
            KeyScript::type("Bapt");
            script.key(Qt::Key_Tab);
            KeyScript::type("abt 1850");
            echo = d.findChild<QLabel *>("lblDateEcho")->text();
            script.key(Qt::Key_Tab);
            KeyScript::type("Uppsala");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_Insert);
        QCOMPARE(echo, QString("about 1850"));
        QCOMPARE(events->topLevelItemCount(), 2);
        QCOMPARE(events->currentItem()->text(0), QString("Baptism"));

        script.then([&](QDialog &d) {
            auto *date = d.findChild<QLineEdit *>("txtDate");
            date->setFocus();
            date->selectAll();
            KeyScript::type("BET 1850 AND 1860");
            echo = d.findChild<QLabel *>("lblDateEcho")->text();
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_F2);
        QCOMPARE(echo, QString("between 1850 and 1860"));
        QStringList labelsWithoutBox;
        script.then([&](QDialog &d) {
            // Every label with a letter to press reaches its box (else the '&' shows as is).
            for (const QLabel *label : d.findChildren<QLabel *>())
                if (label->text().contains(u'&') && !label->buddy())
                    labelsWithoutBox << label->text();
            KeyScript::type("Church book");
            script.key(Qt::Key_Tab);
            KeyScript::type("fol. 3");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_C, Qt::AltModifier);
        QCOMPARE(script.shown, QStringList({"dlgEvent", "dlgEvent", "dlgCite"}));
        QCOMPARE(labelsWithoutBox, QStringList());
        QCOMPARE(events->currentItem()->text(4), QString("Church book, fol. 3"));

        // A married name.
        script.key(Qt::Key_N, Qt::AltModifier);
        QCOMPARE(window.tabs()->currentIndex(), 1);
        auto *names = window.findChild<QTreeWidget *>("lstNames");
        QVERIFY(names->hasFocus());
        script.then([&](QDialog &d) {
            KeyScript::type("Anna");
            script.key(Qt::Key_Tab);
            KeyScript::type("Holm");
            d.findChild<QComboBox *>("cboNameType")
                ->setCurrentIndex(int(NameType::Married)); // the list's order is the types'
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_Insert);
        QCOMPARE(names->topLevelItemCount(), 2);

        // A partner: Anna's partner columns name Bert Holm, who is in no family: asked first.
        script.key(Qt::Key_F, Qt::AltModifier);
        auto *families = window.findChild<QTreeWidget *>("lstFamilies");
        QVERIFY(families->hasFocus());
        messages.enqueue(MsgResult::Yes);
        script.then([&](QDialog &) {
            KeyScript::type("Emil Ek");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_P, Qt::AltModifier);
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.contains("Bert Holm"));
        QCOMPARE(families->topLevelItemCount(), 2);
        QVERIFY(families->topLevelItem(0)->text(0).contains("Bert Holm"));
        QVERIFY(families->currentItem()->text(0).contains("Emil Ek"));
        // A child of Anna and Emil at once.
        script.then([&](QDialog &) {
            KeyScript::type("Frida");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_H, Qt::AltModifier);
        QVERIFY(families->currentItem()->text(0).contains("Frida Berg"));
        QCOMPARE(families->currentItem()->text(1), QString("birth / birth"));

        // Sex and the private flag, then Return saves.
        window.findChild<QComboBox *>("cboSex")->setFocus();
        script.key(Qt::Key_F); // Female
        script.key(Qt::Key_V, Qt::AltModifier);
        QVERIFY(window.findChild<QCheckBox *>("chkPrivate")->isChecked());
        events->setFocus();
        script.key(Qt::Key_Return);
        QVERIFY(!window.isVisible());
        QVERIFY(window.wasSaved());
        QVERIFY(script.done());
        QCOMPARE(script.failures, QStringList());

        QCOMPARE(problems(*store), QStringList());
        Result<ModelSlice> slice = ModelStore::sliceOf(*store, "Family", "I1");
        QVERIFY(slice);
        const TreeModel &m = slice->model;
        QCOMPARE(m.persons[0].sex, Sex::Female);
        QVERIFY(m.persons[0].privacy & Privacy::Private);
        const quint32 baptism = eventOfType(m, 0, "BAPM");
        QVERIFY(baptism != kNoIndex);
        QCOMPARE(m.string(m.events[baptism].date), QString("BET 1850 AND 1860"));
        QCOMPARE(m.string(m.places[m.events[baptism].place].name), QString("Uppsala"));
        const auto cites = m.citationsOf(Ref(Kind::Event, baptism));
        QCOMPARE(cites.size(), size_t(1));
        QCOMPARE(m.string(m.sources[m.citations[cites[0]].source].title), QString("Church book"));
        QCOMPARE(m.namesOf(0).size(), size_t(1));
        QCOMPARE(m.names[m.namesOf(0)[0]].type, NameType::Married);
        QCOMPARE(m.partnershipsOf(0).size(), size_t(2));
        // The partner columns still name Bert Holm, now a person of the tree outside the line.
        const PersonRecord anna = *store->FindPerson("Family", "I1");
        QCOMPARE(anna.PrtFname + ' ' + anna.PrtSname, QString("Bert Holm"));
        QCOMPARE(anna.Bdate, QString("1 JAN 1900"));
        QCOMPARE(anna.Bplace, QString("Lund"));
        // New persons have keys in the tree's style; the child is in the line under Anna.
        const QStringList keys = [&] {
            QStringList k;
            for (const PersonRecord &r : *store->ReadTree("Family"))
                k << r.ID + ':' + r.Fname + ':' + r.PrntKey;
            k.sort();
            return k;
        }();
        QCOMPARE(keys, QStringList(
                           {"I1:Anna:ROOT", "I2:Carl:I1", "I3:Bert:", "I4:Emil:", "I5:Frida:I1"}));
    }

    // Another program changed the tree meanwhile: Save says so and keeps the window open;
    // Escape then leaves without writing anything.
    void changedElsewhereIsRefused()
    {
        auto store = withTree(handMade());
        QVERIFY(store);
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        DetailsWindow window(*store, "Family", "I1", store->DataPath());
        window.show();
        QVERIFY(KeyScript::activate(window));
        window.draft().setSex(Sex::Female);
        PersonRecord carl = *store->FindPerson("Family", "I2");
        const PersonRecord was = carl;
        carl.Notes = "elsewhere";
        QVERIFY(store->UpdatePerson("Family", "I2", carl, &was));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.contains("another program"));
        QVERIFY(window.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.wasSaved());
        QCOMPARE(*ModelStore::hasModel(*store, "Family"), false);
    }

    // Another program changed the person's own records after the window read them: Save asks
    // (who changed it, Reload/Cancel). Cancel keeps what was typed and saves nothing; Reload
    // shows the person as stored now, and the change made again is saved beside the other's.
    // A change of another person of the tree does not stand in the way.
    void conflictOffersReload()
    {
        TreeModel model;
        model.persons.resize(2);
        model.persons.edit(1).sex = Sex::Male;
        auto store = withTree(handMade(), &model);
        QVERIFY(store);
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        DetailsWindow window(*store, "Family", "I1", store->DataPath());
        QVERIFY(window.isLoaded());
        window.show();
        QVERIFY(KeyScript::activate(window));
        window.draft().setSex(Sex::Female);

        // Carl's row changes: the save goes through.
        PersonRecord carl = *store->FindPerson("Family", "I2");
        const PersonRecord was = carl;
        carl.Notes = "elsewhere";
        QVERIFY(store->UpdatePerson("Family", "I2", carl, &was));
        // Anna's privacy changes in another window.
        {
            DetailsWindow other(*store, "Family", "I1", store->DataPath());
            other.draft().setPrivate(Ref(Kind::Person, 0), true);
            other.accept();
            QVERIFY(other.wasSaved());
        }
        messages.enqueue(MsgResult::Cancel);
        window.accept();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QString("Changed by another program"));
        QCOMPARE(messages.last().buttonTexts, QStringList({"Reload", "Cancel"}));
        QVERIFY2(messages.last().text.contains("'I1' (Anna Berg)"),
                 qPrintable(QString(messages.last().text).replace("\r\n", " | ")));
        QVERIFY(window.isVisible());
        QCOMPARE(window.draft().sex(), Sex::Female);
        QCOMPARE(ModelStore::sliceOf(*store, "Family", "I1")->model.persons[0].sex, Sex::None);

        messages.enqueue(MsgResult::Retry);
        window.accept();
        QCOMPARE(messages.count(), 2);
        QVERIFY(window.isVisible());
        QCOMPARE(window.draft().sex(), Sex::None);
        QVERIFY(window.draft().isPrivate(Ref(Kind::Person, 0)));
        window.draft().setSex(Sex::Female);
        window.accept();
        QCOMPARE(messages.count(), 2);
        QVERIFY(window.wasSaved());
        const Result<ModelSlice> stored = ModelStore::readTree(*store, "Family");
        QVERIFY(stored);
        QCOMPARE(stored->model.persons[0].sex, Sex::Female);
        QCOMPARE(stored->model.persons[0].privacy, Privacy::Private);
        QCOMPARE(store->FindPerson("Family", "I2")->Notes, QString("elsewhere"));
        QVERIFY2(problems(*store).isEmpty(), qPrintable(problems(*store).join('\n')));
    }

    // The sources window: each source with its citations and the persons they support; a title
    // changed there changes for every citation.
    void sourcesWindow()
    {
        std::vector<PersonRow> rows = handMade();
        TreeModel model;
        model.persons.resize(rows.size());
        Source source;
        source.title = model.text(QStringView(u"Parish register"));
        const quint32 s = model.sources.add(source);
        for (quint32 p : {0u, 1u}) {
            Citation c;
            c.owner = Ref(Kind::Person, p);
            c.source = s;
            model.citations.add(c);
        }
        auto store = withTree(rows, &model);
        QVERIFY(store);
        SourcesWindow window(*store, "Family");
        QVERIFY(window.isLoaded());
        window.show();
        QVERIFY(KeyScript::activate(window));
        QTreeWidget *list = window.list();
        QCOMPARE(list->topLevelItemCount(), 1);
        // Room for a long title, which tells the sources apart.
        QVERIFY(list->columnWidth(0) >= list->fontMetrics().averageCharWidth() * 40);
        QCOMPARE(list->topLevelItem(0)->text(3), QString("2"));
        QCOMPARE(list->topLevelItem(0)->text(4), QString("Anna Berg, Carl Berg"));
        KeyScript script;
        int titleWidth = 0;
        script.then([&](QDialog &d) {
            // Room for a long title: fifty letters, not a dozen.
            titleWidth = d.findChild<QLineEdit *>("txtTitle")->width();
            QApplication::focusWidget()->setProperty("text", QString());
            KeyScript::type("Church register");
            script.key(Qt::Key_Return);
        });
        script.key(Qt::Key_F2);
        QVERIFY2(titleWidth >= list->fontMetrics().averageCharWidth() * 50,
                 qPrintable(QString::number(titleWidth)));
        QCOMPARE(list->topLevelItem(0)->text(0), QString("Church register"));
        script.key(Qt::Key_Return);
        QVERIFY(window.wasSaved());
        QCOMPARE(problems(*store), QStringList());
        for (const char *key : {"I1", "I2"}) {
            const ModelSlice slice = *ModelStore::sliceOf(*store, "Family", key);
            const auto cites = slice.model.citationsOf(Ref(Kind::Person, 0));
            QCOMPARE(cites.size(), size_t(1));
            QCOMPARE(slice.model.string(
                         slice.model.sources[slice.model.citations[cites[0]].source].title),
                     QString("Church register"));
        }
    }

    // The edit window's Details... button saves first, with the save's checks and messages; the
    // details are asked for only when the save went through, for the row as saved.
    void editWindowSavesFirst()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        FakeHost host;
        host.dataPath = m_dir.filePath("editdata") + '/';
        PersonRecord fill;
        fill.PrntKey = "ROOT";
        fill.Fname = "Anna";
        frmEdit window(host, false);
        window.setRecord(fill);
        window.show();
        auto *details = window.findChild<QPushButton *>("cmdDetails");
        QVERIFY(details);
        details->click(); // no key: the save refuses
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QString("Fields 'ID' and 'Parent ID' must be specified."));
        QCOMPARE(host.details, QStringList());
        QVERIFY(window.isVisible());
        window.findChild<QLineEdit *>("txtKey")->setText("K9");
        details->click();
        QCOMPARE(host.details, QStringList{"K9"});
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(tst_detailswindow)
#include "tst_detailswindow.moc"
