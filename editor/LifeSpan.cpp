#include "LifeSpan.h"

#include <QDate>
#include <QLocale>
#include <QStringList>

namespace {

// A locale format with a two-digit year also gets a four-digit twin, tried first.
void addFormat(QStringList &formats, QString format)
{
    if (format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy")))
        formats.append(QString(format).replace(QLatin1String("yy"), QLatin1String("yyyy")));
    formats.append(format);
}

QDate parseDate(const QString &text)
{
    if (text.isEmpty())
        return {};
    QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid())
        return date;

    const QLocale system = QLocale::system();
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QStringList localFormats;
    addFormat(localFormats, system.dateFormat(QLocale::ShortFormat));
    addFormat(localFormats, system.dateFormat(QLocale::LongFormat));
    addFormat(localFormats, system.dateFormat(QLocale::NarrowFormat));

    static const QStringList commonFormats = {
        QStringLiteral("d MMMM yyyy"),  QStringLiteral("d MMM yyyy"),
        QStringLiteral("MMMM d, yyyy"), QStringLiteral("MMM d, yyyy"),
        QStringLiteral("MMMM d yyyy"),  QStringLiteral("MMM d yyyy"),
        QStringLiteral("d. MMMM yyyy"), QStringLiteral("d.M.yyyy"),
        QStringLiteral("MMMM yyyy"),    QStringLiteral("MMM yyyy"),
        QStringLiteral("yyyy/M/d")};

    for (const QString &format : localFormats) {
        date = system.toDate(text, format);
        if (date.isValid())
            return date;
    }
    for (const QString &format : commonFormats) {
        date = system.toDate(text, format);
        if (date.isValid())
            return date;
        date = english.toDate(text, format);
        if (date.isValid())
            return date;
    }
    return {};
}

} // namespace

namespace LifeSpan {

int YearOf(const QString &date)
{
    const QDate parsed = parseDate(date.trimmed());
    if (parsed.isValid())
        return parsed.year();
    if (date.size() == 4) {
        bool ok = false;
        const int value = date.trimmed().toInt(&ok);
        return ok ? value : 0;
    }
    return 0;
}

QString Text(const QString &bdate, const QString &ddate)
{
    if (bdate.isEmpty())
        return QString();
    if (ddate.isEmpty())
        return bdate;
    const int age = YearOf(ddate) - YearOf(bdate);
    return bdate + QStringLiteral(" - ") + ddate + QStringLiteral(" (") + QString::number(age) +
           QLatin1Char(')');
}

QString NameText(const QString &fname, const QString &sname)
{
    return fname + QLatin1Char(' ') + sname;
}

} // namespace LifeSpan
