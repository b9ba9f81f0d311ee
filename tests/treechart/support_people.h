#pragma once

#include "MessageService.h"
#include "ScriptedMessageService.h"
#include "cPeople.h"

#include <QStringList>

// A tree of persons from lines "key parent first surname [partner-first partner-surname]",
// fields separated by '|'. The parent "ROOT" makes a root.
inline void AddPersons(cPeople &people, const QStringList &lines)
{
    for (const QString &line : lines) {
        const QStringList f = line.split(QLatin1Char('|'));
        cPerson p;
        p.setKey(f.value(0));
        p.setPrntKey(f.value(1));
        p.setFname(f.value(2));
        p.setSname(f.value(3));
        p.setPrtFname(f.value(4));
        p.setPrtSname(f.value(5));
        p.setBdate(f.value(6));
        people.Add(p);
    }
}

// The keys of the boxes of every row, one text per row ("a b c").
#include "TreeChart.h"
inline QStringList RowKeys(const TreeChart &chart)
{
    QStringList rows;
    for (const cLevelPtr &level : chart.Levels()) {
        QStringList keys;
        for (const cNodePtr &node : *level)
            keys << node->Key();
        rows << keys.join(QLatin1Char(' '));
    }
    return rows;
}
