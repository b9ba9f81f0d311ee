#include "ReportMaker.h"

namespace Reports {

MadeReport makeReport(Genealogy::ModelSlice tree, const QString &key, ReportRequest request,
                      const Genealogy::PrivacyOptions &privacy)
{
    MadeReport made;
    int person = -1;
    for (size_t i = 0; i < tree.rows.size() && person < 0; ++i) {
        if (tree.rows[i].ID == key)
            person = int(i);
    }
    if (person < 0) {
        made.error = QStringLiteral("The tree has no person with the key '%1'.").arg(key);
        return made;
    }
    Genealogy::PrivacyView view = Genealogy::applyPrivacy(tree.rows, tree.model, privacy);
    if (view.persons[size_t(person)] == Genealogy::PersonShown::LeftOut) {
        made.error = QStringLiteral("The person '%1' is private: a report that leaves out the "
                                    "private has nothing to tell of it.")
                         .arg(key);
        return made;
    }
    // The person's place among the rows the view kept.
    int shown = 0;
    for (int i = 0; i < person; ++i)
        shown += view.persons[size_t(i)] != Genealogy::PersonShown::LeftOut ? 1 : 0;
    tree = Genealogy::ModelSlice(); // the view holds what the report needs
    const ReportTree reportTree(std::move(view.slice));
    request.person = shown;
    made.result = buildReport(reportTree, request);
    if (!made.result.document)
        made.error = QStringLiteral("The report could not be made.");
    return made;
}

} // namespace Reports
