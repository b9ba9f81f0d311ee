#include "TreeTables.h"

#include "PersonRecord.h"

const QStringList &PersonColumns()
{
    static const QStringList columns = [] {
        QStringList names;
        for (const PersonColumn &column : kPersonColumns)
            names << QLatin1String(column.name);
        return names;
    }();
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
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            return QStringLiteral("A tree name cannot contain control characters such as line "
                                  "breaks or tabs. Please choose another name.");
    }
    if (!name.isValidUtf16())
        return QStringLiteral("The name is not valid text. Please choose another name.");
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

QString TreeNameFolded(const QString &name)
{
    // Canonical caseless matching: decomposed, folded, then composed again.
    return name.normalized(QString::NormalizationForm_D)
        .toCaseFolded()
        .normalized(QString::NormalizationForm_C);
}

bool SameTreeName(const QString &a, const QString &b)
{
    return a == b || TreeNameFolded(a) == TreeNameFolded(b);
}

bool SameTable(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x = char16_t(x + (u'a' - u'A'));
        if (y >= u'A' && y <= u'Z')
            y = char16_t(y + (u'a' - u'A'));
        if (x != y)
            return false;
    }
    return true;
}
