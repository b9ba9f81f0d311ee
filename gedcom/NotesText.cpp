#include "NotesText.h"

namespace Gedcom::NotesText {

namespace {

const QLatin1String kPartnerId("Partner ID: ");
const QLatin1String kChildrenListedUnder("Children listed under: ");

// Splits the last line off: text before it (without the line feed) and the line.
bool splitLast(const QString &text, QString &before, QString &last)
{
    if (text.isEmpty())
        return false;
    const qsizetype feed = text.lastIndexOf(QLatin1Char('\n'));
    before = feed < 0 ? QString() : text.left(feed);
    last = feed < 0 ? text : text.mid(feed + 1);
    return true;
}

} // namespace

QString partnerIdLine(const QString &id)
{
    return kPartnerId + id;
}

QString childrenListedUnderLine(const QString &id)
{
    return kChildrenListedUnder + id;
}

void appendLine(QString &notes, const QString &line)
{
    if (!notes.isEmpty())
        notes += QLatin1Char('\n');
    notes += line;
}

PartnerLines splitPartnerLines(const QString &notes)
{
    PartnerLines result;
    QString before, last;
    if (!splitLast(notes, before, last) || !last.startsWith(kPartnerId))
        return result;
    result.partnerId = last.mid(kPartnerId.size());
    result.base = before;
    QString earlier, previous;
    if (splitLast(before, earlier, previous) && previous.startsWith(kChildrenListedUnder)) {
        result.childrenLine = true;
        result.childrenListedUnder = previous.mid(kChildrenListedUnder.size());
        result.base = earlier;
    }
    QString rebuilt = result.base;
    if (result.childrenLine)
        appendLine(rebuilt, childrenListedUnderLine(result.childrenListedUnder));
    appendLine(rebuilt, partnerIdLine(result.partnerId));
    result.found = rebuilt == notes;
    return result;
}

} // namespace Gedcom::NotesText
