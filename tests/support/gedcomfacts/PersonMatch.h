#pragma once

#include "FactFile.h"

namespace GedcomFacts {

// Gives the persons of two files their keys, so that the same person has the same key in both
// whatever its record id. A person of the first file is keyed by its name and birth year
// ("Charlotte Augusta (1796)"); several with the same name and year are numbered in file order
// ("... [2]"). A person of the second file takes the key of the person of the first it matches:
//  1. the only one of each file with that normalised name and year;
//  2. among several, the first unmatched one whose parents, and whose partners and children,
//     have the same names; then the same parents; then the same partners and children; then
//     the rest in file order;
//  3. a person still unmatched who is the only one of each file's unmatched persons with the
//     same name without its suffix ("jr.") and year; with the same name; with the same name
//     without its suffix (a suffix or a birth year lost or changed);
//  4. a person still unmatched whose name is made of words of the name of exactly one still
//     unmatched person of the other file with the same birth year (a prefix, particle or
//     nickname lost).
// The rest of the second file are keyed "... [only in the second file]".
void matchPersons(FactFile &first, FactFile &second);

} // namespace GedcomFacts
