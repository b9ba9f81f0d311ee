// Person > Relationship...: what the selected person is to another one, in words, with the
// nearest common ancestors (or the marriages) that link them.
#include "ChartViewCommands.h"

#include "DescendantChartWindow.h"
#include "FindPersonDialog.h"
#include "LifeSpan.h"
#include "MessageService.h"
#include "OpenTree.h"
#include "PersonFinder.h"
#include "Relationship.h"
#include "TreeChart.h"
#include "WaitCursor.h"

namespace {

QString nameOf(const cPerson *person)
{
    if (!person)
        return QString();
    const QString name = LifeSpan::NameText(person->Fname(), person->Sname()).trimmed();
    return name.isEmpty() ? person->Key() : name;
}

QString namesOf(const KinshipLinks &links, const std::vector<int> &persons)
{
    QStringList names;
    for (int p : persons)
        names << QStringLiteral("%1 (%2)").arg(nameOf(links.Person(p)), links.Index().key(p));
    return names.join(QStringLiteral(" and "));
}

QString describe(const KinshipLinks &links, const Genealogy::Relationship &r, int a, int b)
{
    using Kind = Genealogy::Relationship::Kind;
    const QString first = nameOf(links.Person(a));
    const QString second = nameOf(links.Person(b));
    if (r.kind == Kind::Same)
        return QStringLiteral("%1 and %2 are the same person.").arg(first, second);
    if (r.kind == Kind::None)
        return QStringLiteral("%1 and %2 are not related: no line of parents, children or "
                              "marriages links them.")
            .arg(first, second);
    QString text = QStringLiteral("%1 is the %2 of %3.").arg(first, r.term, second);
    if (r.kind == Kind::Marriage) {
        QStringList marriages;
        for (size_t i = 0; i + 1 < r.marriages.size(); i += 2)
            marriages << namesOf(links, {r.marriages[i], r.marriages[i + 1]});
        return text + QStringLiteral("\n\nRelated through the marriage of ") +
               marriages.join(QStringLiteral(", then of ")) + QLatin1Char('.');
    }
    for (const Genealogy::RelationshipPath &path : r.paths) {
        if (path.up == 0 || path.down == 0)
            continue; // a line of descent says it all
        text += QStringLiteral("\n\nNearest common ancestor%1: %2, %3 generation%4 up from %5 "
                               "and %6 down to %7.")
                    .arg(path.through.size() > 1 ? QStringLiteral("s") : QString(),
                         namesOf(links, path.through), QString::number(path.up),
                         path.up == 1 ? QString() : QStringLiteral("s"), first,
                         QString::number(path.down), second);
    }
    return text;
}

} // namespace

QString ChartViewCommands::ShowRelationship(const QString &otherKey)
{
    if (!hasPersons())
        return QString();
    const cPeople &people = m_tree.People();
    const cPersonPtr first = people.Item(m_tree.SelectedKey());
    if (!first) {
        ShowMessage(QStringLiteral("Select the first of the two persons, then choose the second."),
                    RelationshipTitle(), MsgIcon::Information, MsgButtons::OkOnly, m_window);
        return QString();
    }
    QString key = otherKey;
    if (key.isEmpty()) {
        // A large tree's links are made on a worker while the user chooses.
        m_kinship.Prepare(m_window);
        key = askPerson(QStringLiteral("Relationship of %1 to").arg(nameOf(first.get())));
    }
    const cPersonPtr second = people.Item(key);
    if (!second)
        return QString();
    const std::shared_ptr<const KinshipLinks> links = m_kinship.Links(m_window);
    const int a = links->NumberOf(first->Key());
    const int b = links->NumberOf(second->Key());
    QString text;
    QSet<QString> line;
    QString top;
    {
        WaitCursor busy;
        Genealogy::RelationshipCalculator calculator(links->Index());
        const Genealogy::Relationship relationship = calculator.relate(a, b);
        text = describe(*links, relationship, a, b);
        if (relationship.kind == Genealogy::Relationship::Kind::Blood) {
            for (int p : calculator.pathPersons(a, b, relationship))
                line.insert(links->Index().key(p));
            top = links->Index().key(relationship.paths.front().through.front());
        }
    }
    if (line.isEmpty()) {
        ShowMessage(text, RelationshipTitle(), MsgIcon::Information, MsgButtons::OkOnly, m_window);
        return text;
    }
    // The line between them as a chart, to be looked at, exported or printed.
    const MsgResult show =
        ShowMessage(text + QStringLiteral("\n\nShow the line between them as a chart?"),
                    RelationshipTitle(), MsgIcon::Question, MsgButtons::YesNo, m_window);
    if (show == MsgResult::Yes)
        adopt(new DescendantChartWindow(
            people, [this] { return m_kinship.Links(m_window); }, top, line,
            QStringLiteral("Relationship of %1 to %2")
                .arg(nameOf(first.get()), nameOf(second.get())),
            m_chart.Settings(), m_chart.Font(), &YearsOf, m_window));
    return text;
}
