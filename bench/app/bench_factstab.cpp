// Prints what showing a person on the panel's "Family and events" tab costs: a person with 50
// events (dates, places, descriptions), 5 families (each with a partner, two events and three
// children) and 30 citations, read from GEDCOM into the model:
//
//  - the facts read from the slice (personFacts);
//  - the page made and shown (FactsView::ShowFacts: the page's text and the browser's layout);
//  - a click as the panel answers it with the tab shown: the slice taken from its source (a copy
//    of the model here), the facts read and shown.
//
//   bench_factstab [rounds]
//
// Each figure is the median and the slowest of the rounds (default 200), in milliseconds.
#include "Document.h"
#include "FactsView.h"
#include "ModelImport.h"
#include "PersonFacts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBrowser>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QByteArray busyPerson()
{
    QByteArray g = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n";
    g += "0 @S1@ SOUR\n1 TITL Parish register of St Mary\n";
    g += "0 @S2@ SOUR\n1 TITL Census returns\n";
    g += "0 @I1@ INDI\n1 NAME Ann /Busy/\n1 SEX F\n";
    static const char *const tags[] = {"BIRT", "CHR", "RESI", "OCCU", "CENS", "EVEN", "GRAD"};
    int citations = 0;
    for (int e = 0; e < 50; ++e) {
        const QByteArray tag = tags[e % 7];
        g += "1 " + tag + (tag == "OCCU" ? " Weaver" : "") + "\n";
        if (tag == "EVEN")
            g += "2 TYPE Award\n";
        g += "2 DATE " + QByteArray::number(1 + e % 28) + " MAR " + QByteArray::number(1850 + e) +
             "\n";
        g += "2 PLAC Town " + QByteArray::number(e % 12) + ", County, England\n";
        if (citations < 30 && e % 5 != 4) {
            ++citations;
            g += "2 SOUR @S" + QByteArray::number(1 + e % 2) + "@\n3 PAGE folio " +
                 QByteArray::number(e) + "\n";
        }
    }
    for (int f = 1; f <= 5; ++f)
        g += "1 FAMS @F" + QByteArray::number(f) + "@\n";
    int next = 2;
    QByteArray families;
    for (int f = 1; f <= 5; ++f) {
        const QByteArray partner = "I" + QByteArray::number(next++);
        g += "0 @" + partner + "@ INDI\n1 NAME Partner" + QByteArray::number(f) + " /Other/\n";
        g += "1 FAMS @F" + QByteArray::number(f) + "@\n";
        families += "0 @F" + QByteArray::number(f) + "@ FAM\n1 WIFE @I1@\n1 HUSB @" + partner +
                    "@\n1 MARR\n2 DATE " + QByteArray::number(1870 + f) +
                    "\n2 PLAC Town 1\n1 DIV\n2 DATE " + QByteArray::number(1875 + f) + "\n";
        for (int c = 0; c < 3; ++c) {
            const QByteArray child = "I" + QByteArray::number(next++);
            g += "0 @" + child + "@ INDI\n1 NAME Child" + QByteArray::number(c) + " /Busy/\n";
            g += "1 FAMC @F" + QByteArray::number(f) + "@\n";
            families += "1 CHIL @" + child + "@\n";
        }
    }
    return g + families + "0 TRLR\n";
}

struct Figure
{
    double median = 0;
    double slowest = 0;
};

Figure measure(int rounds, const std::function<void()> &step)
{
    std::vector<double> times;
    times.reserve(size_t(rounds));
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        step();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void print(const char *what, const Figure &figure)
{
    std::printf("  %-44s median %7.3f ms   slowest %7.3f ms\n", what, figure.median,
                figure.slowest);
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 200;

    const Gedcom::MappedTree mapped =
        Gedcom::mapDocument(Gedcom::Document::fromBytes(busyPerson()), {});
    Genealogy::ModelSlice slice;
    for (const Gedcom::PlannedRow &row : mapped.rows)
        slice.rows.push_back(row.record);
    slice.model = mapped.model;
    slice.person = 0;
    const Genealogy::PersonFacts facts = Genealogy::personFacts(slice);
    std::printf("person with %zu events, %zu families, %zu citations, %zu persons in the slice\n",
                facts.events.size(), facts.families.size(), facts.citations.size(),
                slice.rows.size());

    FactsView view;
    view.resize(272, 600);
    view.show();
    print("facts read from the slice", measure(rounds, [&] {
              const Genealogy::PersonFacts read = Genealogy::personFacts(slice);
              Q_UNUSED(read);
          }));
    print("page made and shown", measure(rounds, [&] {
              view.ShowFacts(facts);
              view.browser()->document()->size(); // laid out
          }));
    print("a click: slice copied, facts read and shown", measure(rounds, [&] {
              const Genealogy::ModelSlice copy = slice;
              view.ShowFacts(Genealogy::personFacts(copy));
              view.browser()->document()->size();
          }));
    return 0;
}
