#include "ExampleTree.h"

namespace {

PersonRecord person(const char *id, const QString &parent, const char *first, const char *last,
                    const char *partnerFirst, const char *partnerLast, const char *born,
                    const char *died, const char *bornIn, const char *diedIn)
{
    PersonRecord r;
    r.ID = QString::fromUtf8(id);
    r.PrntKey = parent;
    r.Fname = QString::fromUtf8(first);
    r.Sname = QString::fromUtf8(last);
    r.PrtFname = QString::fromUtf8(partnerFirst);
    r.PrtSname = QString::fromUtf8(partnerLast);
    r.Bdate = QString::fromUtf8(born);
    r.Ddate = QString::fromUtf8(died);
    r.Bplace = QString::fromUtf8(bornIn);
    r.Dplace = QString::fromUtf8(diedIn);
    return r;
}

PersonRecord living(PersonRecord r, const char *address, const char *city, const char *country)
{
    r.Laddress = QString::fromUtf8(address);
    r.Lcity = QString::fromUtf8(city);
    r.Lcountry = QString::fromUtf8(country);
    return r;
}

PersonRecord noted(PersonRecord r, const char *notes)
{
    r.Notes = QString::fromUtf8(notes);
    return r;
}

} // namespace

QList<PersonRecord> ExampleTreeRows()
{
    return {
        noted(person("1", kRootKey, "Thomas", "Harwood", "Ellen", "Harwood", "1901", "1968", "York",
                     "Leeds"),
              "Joiner, later ran a furniture workshop in Leeds. Married Ellen Marsh in 1924."),
        noted(person("2", kRootKey, "Anna", "Lindqvist", "Erik", "Lindqvist", "about 1900",
                     "02.02.1979", "Uppsala", "Göteborg"),
              "Birth year from the parish register; the exact date is not known."),
        person("3", "1", "William", "Harwood", "Margaret", "Harwood", "12.03.1925", "1999", "Leeds",
               "York"),
        person("4", "1", "Alice", "Harwood", "George", "Bennett", "1928", "2011", "Leeds",
               "Harrogate"),
        noted(person("5", "1", "Robert", "Harwood", "", "", "04.11.1931", "1944", "Leeds", "Leeds"),
              "Died of scarlet fever at the age of twelve."),
        person("6", "2", "Karin", "Lindqvist", "Lars", "Berg", "1923", "2004", "Göteborg", "Malmö"),
        person("7", "2", "Nils", "Lindqvist", "Ingrid", "Lindqvist", "07.06.1926", "1990",
               "Göteborg", "Göteborg"),
        living(person("8", "3", "Peter", "Harwood", "Susan", "Harwood", "1951", "", "York", ""),
               "14 Mill Lane", "York", "England"),
        living(
            person("9", "3", "Helen", "Harwood", "David", "Clarke", "23.09.1954", "", "York", ""),
            "3 Station Road", "Whitby", "England"),
        living(person("10", "3", "James", "Harwood", "", "", "1958", "", "York", ""),
               "27 Queen Street", "Edinburgh", "Scotland"),
        living(
            person("11", "4", "Claire", "Bennett", "Michael", "Owens", "1950", "", "Harrogate", ""),
            "8 Park View", "Harrogate", "England"),
        person("12", "4", "Thomas", "Bennett", "Jane", "Bennett", "1953", "2017", "Harrogate",
               "Leeds"),
        living(person("13", "6", "Sofia", "Berg", "Anders", "Holm", "1948", "", "Malmö", ""),
               "Storgatan 12", "Lund", "Sweden"),
        living(
            person("14", "7", "Johan", "Lindqvist", "Eva", "Lindqvist", "1955", "", "Göteborg", ""),
            "Linnégatan 5", "Göteborg", "Sweden"),
        living(person("15", "7", "Maria", "Lindqvist", "", "", "16.01.1957", "", "Göteborg", ""),
               "Sveavägen 40", "Stockholm", "Sweden"),
    };
}
