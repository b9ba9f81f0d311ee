// Figures for the charts through families and the relationship calculator on a generated tree
// of 1,000,000 persons with two parents each: the link index, the ancestor chart with five
// generations open (built, laid out, first drawn, repainted after a scroll), every branch of a
// person with about 10,000 distinct ancestors opened, and relationship questions.
//
//     bench_kinship [persons]        (QT_QPA_PLATFORM=offscreen)
#include "ChartSettings.h"
#include "DescendantChartData.h"
#include "FanChart.h"
#include "KinshipCharts.h"
#include "Relationship.h"
#include "bench_common.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <cstdio>

namespace {

// Generation after generation of `width` persons: persons 2i and 2i+1 of a generation are a
// couple, and each person of the next generation is a child of a couple near its own place (so
// that lines of ancestors spread slowly, as in a real population). PrntKey names the father.
struct Generated
{
    cPeople people;
    std::vector<Genealogy::FamilyKeys> families;
    int width = 0;
    int generations = 0;
};

QString keyOf(int person)
{
    return QStringLiteral("P%1").arg(person);
}

Generated generate(int persons, int width)
{
    Generated g;
    g.width = width;
    g.generations = persons / width;
    QRandomGenerator random(2026);
    const int couples = width / 2;
    // The family of each couple of the generation above, by couple number.
    std::vector<Genealogy::FamilyKeys> above;
    for (int gen = 0; gen < g.generations; ++gen) {
        std::vector<Genealogy::FamilyKeys> current(static_cast<size_t>(couples));
        for (int i = 0; i < width; ++i) {
            const int person = gen * width + i;
            cPerson p;
            p.setKey(keyOf(person));
            p.setFname(QStringLiteral("Given%1").arg(person % 997));
            p.setSname(QStringLiteral("Family%1").arg(i / 50));
            if (gen == 0) {
                p.setPrntKey(QStringLiteral("ROOT"));
            } else {
                const int near = std::clamp(i / 2 + int(random.bounded(51)) - 25, 0, couples - 1);
                Genealogy::FamilyKeys &family = above[size_t(near)];
                family.children.push_back({keyOf(person)});
                p.setPrntKey(family.partner[0]);
            }
            g.people.Add(p);
            Genealogy::FamilyKeys &own = current[size_t(i / 2)];
            own.partner[i % 2] = keyOf(person);
        }
        for (Genealogy::FamilyKeys &family : above)
            g.families.push_back(std::move(family));
        above = std::move(current);
    }
    for (Genealogy::FamilyKeys &family : above)
        g.families.push_back(std::move(family));
    return g;
}

void print(const char *what, const Timing &t)
{
    std::printf("%-58s first %8.1f ms  median %8.1f ms  worst %8.1f ms\n", what, t.first, t.median,
                t.worst);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int persons = argc > 1 ? std::max(1000, QString::fromLatin1(argv[1]).toInt()) : 1000000;
    const int width = std::min(persons / 4, 25000);

    double start = CpuMs();
    const Generated g = generate(persons, width);
    std::printf("generated %d persons in %d generations, %zu families: %.0f ms\n", g.people.Count(),
                g.generations, g.families.size(), CpuMs() - start);

    const long before = ResidentKiB();
    start = CpuMs();
    const KinshipLinks links(g.people, g.families);
    std::printf("link index built: %.0f ms, %.1f bytes a person (index), resident +%ld KiB\n",
                CpuMs() - start, double(links.Index().bytes()) / persons, ResidentKiB() - before);

    const ChartSettings settings = ChartSettings::MainWindow();
    const QFont font = QApplication::font();
    const QString last = keyOf(persons - width / 2);

    // The ancestor chart as it opens: five generations.
    KinshipTreeRequest request;
    request.kind = KinshipChartKind::Ancestors;
    request.rootKey = last;
    request.openGenerations = 5;
    std::unique_ptr<DescendantChartData> chart;
    print("ancestor chart, 5 generations: tree + layout", TimeRuns(9, [&](int) {
              chart = std::make_unique<DescendantChartData>(
                  g.people, BuildKinshipTree(g.people, links, request), last, settings, font);
          }));
    QImage screen(1280, 800, QImage::Format_RGB32);
    const QRect view(chart->Geometry().BoxRect(0).center().x() - 640, 0, 1280, 800);
    print("ancestor chart, 5 generations: first drawn (1280x800)", TimeRuns(9, [&](int) {
              QPainter painter(&screen);
              painter.translate(-view.topLeft());
              chart->Painter().Paint(painter, view);
          }));
    chart->Painter().setCaptionCache(true);
    print("ancestor chart: repaint of the view scrolled by 40 pixels", TimeRuns(25, [&](int i) {
              const QRect scrolled = view.translated(40 * (i % 5), 0);
              QPainter painter(&screen);
              painter.translate(-scrolled.topLeft());
              chart->Painter().Paint(painter, scrolled);
          }));
    std::printf("  %d boxes, %d generations\n", chart->Tree().Count(), chart->Tree().Generations());

    // A person with about 10,000 distinct ancestors: every branch open.
    request.openGenerations = INT_MAX;
    int pick = -1;
    int ancestors = 0;
    for (int gen = 1; gen < g.generations && pick < 0; ++gen) {
        request.rootKey = keyOf(gen * width + width / 2);
        ancestors = BuildKinshipTree(g.people, links, request).Below();
        if (ancestors >= 10000)
            pick = gen;
    }
    print("every branch opened (tree + layout)", TimeRuns(5, [&](int) {
              chart = std::make_unique<DescendantChartData>(
                  g.people, BuildKinshipTree(g.people, links, request), request.rootKey, settings,
                  font);
          }));
    std::printf("  %s: %d distinct ancestors, %d cuts\n", qPrintable(request.rootKey), ancestors,
                int(chart->Tree().Cuts().size()));
    // The same through the window's View > Open Branch on the person at the top.
    request.openGenerations = 5;
    request.opened = {request.rootKey};
    print("Open Branch of the top person (tree + layout)", TimeRuns(5, [&](int) {
              chart = std::make_unique<DescendantChartData>(
                  g.people, BuildKinshipTree(g.people, links, request), request.rootKey, settings,
                  font);
          }));
    std::printf("  %d boxes\n", chart->Tree().Count());

    // The fan chart of ten generations of the last person, made and drawn whole.
    std::unique_ptr<FanChart> fan;
    print("fan chart, 10 generations: slots", TimeRuns(9, [&](int) {
              fan = std::make_unique<FanChart>(links, last, 10, FanChart::Span::Full);
          }));
    QImage fanImage(fan->Size(), QImage::Format_RGB32);
    print("fan chart, 10 generations: drawn whole", TimeRuns(5, [&](int) {
              QPainter painter(&fanImage);
              fan->Paint(painter, QRect(QPoint(0, 0), fan->Size()));
          }));
    std::printf("  %d ancestors in %d slots, %dx%d pixels\n", fan->Ancestors(), fan->BoxCount(),
                fan->Size().width(), fan->Size().height());

    // Relationship questions between persons of the last generations.
    Genealogy::RelationshipCalculator calculator(links.Index());
    QRandomGenerator random(7);
    int related = 0;
    const int first = persons - 3 * width;
    // Neighbours are related by blood, persons far apart at most by marriage: the search for
    // marriages walks the whole tree, so it is timed apart on a few pairs.
    int blood = 0;
    print("relationship of two neighbours (1,000 pairs)", TimeRuns(1000, [&](int) {
              const int a = first + int(random.bounded(2 * width));
              const int b = a + int(random.bounded(2 * 200)) - 200 + width;
              const Genealogy::Relationship r = calculator.relate(a, b);
              blood += r.kind == Genealogy::Relationship::Kind::Blood;
          }));
    std::printf("  %d of 1000 pairs related by blood\n", blood);
    print("relationship of two persons far apart (10 pairs)", TimeRuns(10, [&](int i) {
              related += calculator.relate(first + i, persons - 1 - i).kind !=
                         Genealogy::Relationship::Kind::None;
          }));
    std::printf("  %d of 10 pairs related\n", related);
    return 0;
}
