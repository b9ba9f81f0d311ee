#pragma once

#include "PrivacyFilter.h"
#include "ReportDocument.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

// The choices of a report before its file is asked for: how many generations (spnGenerations;
// not for a family group sheet), and what it shows of the living and the private
// (chkHideLiving, "Hide living persons", on by default; chkIncludePrivate, "Include private",
// off by default).
class ReportOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    struct Choices
    {
        int generations = 0; // 0: the kind's default
        Genealogy::PrivacyOptions privacy = reportDefaultPrivacy();
    };
    static Genealogy::PrivacyOptions reportDefaultPrivacy()
    {
        Genealogy::PrivacyOptions privacy;
        privacy.hideLiving = true;
        privacy.includePrivate = false;
        return privacy;
    }

    ReportOptionsDialog(Reports::ReportKind kind, const QString &personName, const Choices &initial,
                        QWidget *parent = nullptr);

    Choices Chosen() const;

private:
    Reports::ReportKind m_kind;
    QSpinBox *m_generations = nullptr;
    QCheckBox *m_hideLiving = nullptr;
    QCheckBox *m_includePrivate = nullptr;
};
