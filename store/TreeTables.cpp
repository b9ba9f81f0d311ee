#include "TreeTables.h"

const QStringList &PersonColumns()
{
    static const QStringList columns = {
        QStringLiteral("ID"),       QStringLiteral("PrntKey"),  QStringLiteral("Fname"),
        QStringLiteral("Sname"),    QStringLiteral("PrtFname"), QStringLiteral("PrtSname"),
        QStringLiteral("Bdate"),    QStringLiteral("Ddate"),    QStringLiteral("Bplace"),
        QStringLiteral("Dplace"),   QStringLiteral("Laddress"), QStringLiteral("Lcity"),
        QStringLiteral("Lcountry"), QStringLiteral("Notes")};
    return columns;
}

bool IsListedTreeName(const QString &name)
{
    const QString upper = name.toUpper();
    return !upper.startsWith(QLatin1String("MSYS")) &&
           !upper.startsWith(QLatin1String("SWITCHBOARD")) &&
           !upper.startsWith(QLatin1String("MAIN")) && !upper.startsWith(QLatin1String("SQLITE_"));
}

QString TreeNameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Please enter a name for the tree.");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("A tree name cannot contain control characters such as line "
                                  "breaks or tabs. Please choose another name.");
    }
    if (!IsListedTreeName(name))
        return QStringLiteral("The name '%1' cannot be used: names beginning with \"main\", "
                              "\"MSys\", \"Switchboard\" or \"sqlite_\" are reserved and would "
                              "not appear in the list of trees. Please choose another name.")
            .arg(name);
    return {};
}

bool IsSilentlyRefusedTreeName(const QString &name)
{
    return name.isEmpty() || name.toUpper() == QLatin1String("AS");
}
