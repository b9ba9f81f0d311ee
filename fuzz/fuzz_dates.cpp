// The readers of date texts: the life-span years, the numeric dates under both calendars and
// the GEDCOM date forms, on any text.
#include "DateReader.h"
#include "DateText.h"
#include "FuzzSupport.h"
#include "LifeSpan.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::InitApplication(argc, argv, false);
    return 0;
}

namespace {

void readOne(const QString &text)
{
    LifeSpan::YearOf(text);
    if (const auto year = DateReader::DualYear(text); year && (*year < 100 || *year > 10000))
        std::abort(); // a dual year is a year of three or four digits and the next one
    for (const auto calendar : {DateReader::Calendar::Gregorian, DateReader::Calendar::Julian}) {
        if (const auto date = DateReader::ReadNumeric(text, calendar)) {
            if (date->month < 1 || date->month > 12 || date->day < 0 || date->day > 31)
                std::abort(); // a date that names no month or day
        }
    }
    bool digits = !text.isEmpty() && text.size() <= 9;
    for (const QChar c : text)
        digits = digits && c >= u'0' && c <= u'9';
    if (digits)
        DateReader::WindowedYear(text);
    Gedcom::DateText::fromNumeric(text);
    Gedcom::DateText::isGedcomDate(text, Gedcom::Version::Gedcom551);
    Gedcom::DateText::isGedcomDate(text, Gedcom::Version::Gedcom70);
    Gedcom::DateText::toGedcom(text, Gedcom::Version::Gedcom70);
    Gedcom::DateText::fromGedcom(text, text.left(8));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    // Both halves of a birth and death, as the status bar shows them.
    const qsizetype cut = bytes.indexOf('|');
    const QString birth = QString::fromUtf8(cut < 0 ? bytes : bytes.left(cut));
    const QString death = cut < 0 ? QString() : QString::fromUtf8(bytes.mid(cut + 1));
    readOne(birth);
    readOne(death);
    readOne(QString::fromLatin1(bytes));
    LifeSpan::Text(birth, death);
    LifeSpan::YearsText(birth, death);
    return 0;
}
