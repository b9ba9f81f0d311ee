#pragma once

#include <QString>
#include <QStringList>

namespace GedcomFacts {

// Writes the lines of the generated file (AllTagsFile.h) in one version's syntax.
class AllTagsWriter
{
public:
    explicit AllTagsWriter(bool version7) : m_v7(version7) {}

    QByteArray file();

private:
    // One line; a text value is escaped (@@) and, in 5.5.1, cut into CONC lines when long; a
    // line break in it becomes a CONT line.
    void line(int level, const char *tag, const QString &value = {});
    void text(int level, const char *tag, const QString &value);
    void pointer(int level, const char *tag, const char *xref);
    // The version's spelling of an enumeration value ("adopted" / "ADOPTED").
    QString enumValue(const char *value) const;

    void header();
    void persons();
    void adam();
    void families();
    void familyOne();
    void records();

    void names();
    void eventDetails(int level, int index, bool family);
    void date(int level, int index);
    void place(int level, int index);
    void address(int level);
    void citation(int level, const char *source, int index);
    void note(int level, int index);
    void lds(int level, const char *tag, int index, const char *family = nullptr);
    void simplePerson(const char *xref, const QString &name, const char *sex, const QString &birth,
                      const QStringList &links);
    void changeDate(int level);

    bool m_v7;
    QStringList m_lines;
};

} // namespace GedcomFacts
