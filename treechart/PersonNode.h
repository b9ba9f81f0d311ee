#pragma once

#include "cNode.h"
#include "cPerson.h"

#include <QString>

// The box made for a person, as the program shows persons in its charts.

// The upper caption: surname, one blank, first name (last name first).
QString PersonCaptionA(const cPerson &person);
// The lower caption: the partner's surname, one blank, first name. The blank is always there,
// so a person without partner gets a caption of one blank.
QString PersonCaptionB(const cPerson &person);
// Gives the box the person's two captions (after the person was edited, say).
void SetPersonCaptions(cNode &node, const cPerson &person);

// A box for the person: key, Index 1, the level, the parent box, both captions, and every colour
// inherited from the chart (-1).
cNode MakePersonNode(const cPerson &person, int level, const cNodePtr &parent);
