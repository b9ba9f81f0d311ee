#pragma once

// The month names of the calendars GEDCOM dates use, in order (shared by reading and writing).
namespace Genealogy::DateMonths {

inline constexpr const char *kGregorianMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
inline constexpr const char *kFrenchMonths[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV",
                                                "VENT", "GERM", "FLOR", "PRAI", "MESS",
                                                "THER", "FRUC", "COMP"};
inline constexpr const char *kHebrewMonths[] = {"TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS",
                                                "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};

} // namespace Genealogy::DateMonths
