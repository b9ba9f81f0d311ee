#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace Gedcom {

// The tags this library looks at by name. Every other tag of the GEDCOM 5.5, 5.5.1, 5.5.5 and
// 7.0 standards is "standard" (known, read where it matters, not counted as unknown); any
// other tag, extension tags beginning with an underscore included, is unknown.
enum class Tag : quint16 {
    HEAD,
    TRLR,
    INDI,
    FAM,
    NOTE,
    SNOTE,
    OBJE,
    SOUR,
    SUBM,
    CHAR,
    GEDC,
    VERS,
    FORM,
    MEDI,
    TITL,
    NAME,
    GIVN,
    SURN,
    NPFX,
    NSFX,
    NICK,
    SPFX,
    SEX,
    BIRT,
    DEAT,
    DATE,
    TIME,
    PLAC,
    PHRASE,
    RESI,
    ADDR,
    ADR1,
    ADR2,
    ADR3,
    CITY,
    STAE,
    POST,
    CTRY,
    FAMC,
    FAMS,
    HUSB,
    WIFE,
    CHIL,
    PEDI,
    FILE,
    REFN,
    CONC,
    CONT,
    TYPE,
    PRNTKEY, // _PRNTKEY: a row's parent key that names no row
    // events and attributes of a person
    BURI,
    CREM,
    CHR,
    CHRA,
    BAPM,
    BARM,
    BASM,
    BLES,
    ADOP,
    CONF,
    FCOM,
    ORDN,
    NATU,
    EMIG,
    IMMI,
    CENS,
    PROB,
    WILL,
    GRAD,
    RETI,
    EVEN,
    OCCU,
    EDUC,
    RELI,
    NATI,
    CAST,
    DSCR,
    PROP,
    NCHI,
    NMR,
    SSN,
    IDNO,
    FACT,
    // events of a family
    MARR,
    DIV,
    DIVF,
    ENGA,
    MARB,
    MARC,
    MARL,
    MARS,
    ANUL,
    LastNamed = ANUL,
};

// Tag ids: the named tags above, then the other standard tags, then (from kFirstUnknownTag) the
// unknown tags of one file, numbered as they first appear.
constexpr quint16 kTagOther = 0xFFFF; // not yet classified
constexpr quint16 kFirstUnknownTag = 0x4000;

inline constexpr quint16 tagId(Tag tag)
{
    return static_cast<quint16>(tag);
}

// The id of a standard tag, given in upper case (an underscore tag is standard only when it is
// _PRNTKEY), or kTagOther.
quint16 standardTagId(QByteArrayView upperCaseTag);

// The name of a standard tag id ("" for ids from kFirstUnknownTag on).
QByteArrayView standardTagName(quint16 id);

} // namespace Gedcom
