#include "PersonNode.h"

QString PersonCaptionA(const cPerson &person)
{
    return person.Sname() + QLatin1Char(' ') + person.Fname();
}

QString PersonCaptionB(const cPerson &person)
{
    return person.PrtSname() + QLatin1Char(' ') + person.PrtFname();
}

void SetPersonCaptions(cNode &node, const cPerson &person)
{
    node.setCaptionA(PersonCaptionA(person));
    node.setCaptionB(PersonCaptionB(person));
}

cNode MakePersonNode(const cPerson &person, int level, const cNodePtr &parent)
{
    cNode node;
    node.setKey(person.Key());
    node.setIndex(1);
    node.setLevel(level);
    node.setParentNode(parent);
    SetPersonCaptions(node, person);
    node.SetAllColors(kInheritColor);
    return node;
}
