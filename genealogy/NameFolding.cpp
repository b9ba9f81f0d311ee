#include "NameFolding.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <unordered_map>

namespace Genealogy::NameFolding {

namespace {

// Letters outside ASCII that decomposition does not take apart.
const char *special(char16_t c)
{
    switch (c) {
    case u'ß':
        return "ss";
    case u'æ':
    case u'Æ':
        return "ae";
    case u'œ':
    case u'Œ':
        return "oe";
    case u'ø':
    case u'Ø':
        return "o";
    case u'ł':
    case u'Ł':
        return "l";
    case u'đ':
    case u'Đ':
    case u'ð':
    case u'Ð':
        return "d";
    case u'þ':
    case u'Þ':
        return "th";
    case u'ı':
        return "i";
    default:
        return nullptr;
    }
}

bool separates(char16_t c)
{
    return c == u' ' || c == u'_' || c == u'-' || c == u'.' || c == u',' || c == u'/' ||
           c == u'"' || c == u'(' || c == u')' || c == u'\t';
}

void flush(std::string &word, std::vector<std::string> &out)
{
    if (!word.empty())
        out.push_back(std::move(word));
    word.clear();
}

void foldInto(QStringView text, std::vector<std::string> &out)
{
    std::string word;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < 0x80) {
            if (c >= u'a' && c <= u'z')
                word.push_back(char(c));
            else if (c >= u'A' && c <= u'Z')
                word.push_back(char(c - u'A' + u'a'));
            else if (c >= u'0' && c <= u'9')
                word.push_back(char(c)); // "Son 2" is not "Son 1"
            else if (c == u'\'')
                continue; // O'Brien is obrien
            else if (separates(c))
                flush(word, out);
            continue;
        }
        if (const char *s = special(c)) {
            word += s;
            continue;
        }
        // Decompose and keep the base letter; combining marks fall away.
        const QString decomposed = QString(qc).normalized(QString::NormalizationForm_KD);
        for (const QChar d : decomposed) {
            const char16_t b = d.unicode();
            if (b >= u'a' && b <= u'z')
                word.push_back(char(b));
            else if (b >= u'A' && b <= u'Z')
                word.push_back(char(b - u'A' + u'a'));
        }
    }
    flush(word, out);
}

using VariantTable = std::unordered_map<std::string_view, std::string_view>;

VariantTable makeVariants()
{
    // The common form first, then its variants.
    static const std::vector<std::vector<std::string_view>> groups = {
        {"william", "wilhelm", "guillaume", "guillermo", "guglielmo", "willem", "bill", "will",
         "willy", "billy", "wm"},
        {"john", "johann", "johannes", "jean", "juan", "giovanni", "jan", "jack", "johnny", "hans",
         "ioan", "ivan", "jno"},
        {"mary", "marie", "maria", "mariah", "molly", "polly", "mamie", "miriam"},
        {"elizabeth", "elisabeth", "elisabetta", "isabel", "isabella", "isabelle", "elisabet",
         "eliza", "betty", "beth", "bess", "bessie", "betsy", "liz", "lizzie", "elsa", "else",
         "elspeth", "eliz"},
        {"henry", "heinrich", "henri", "enrique", "enrico", "hendrik", "harry", "hal", "hy"},
        {"charles", "karl", "carl", "carlos", "carlo", "charlie", "chas", "karel"},
        {"frederick", "friedrich", "frederic", "frederik", "federico", "fritz", "fred", "freddie",
         "frederic"},
        {"catherine", "katharina", "katherine", "kathryn", "catharina", "caterina", "catalina",
         "katarina", "kate", "kitty", "cathy", "katie", "katrina", "ekaterina", "yekaterina"},
        {"margaret", "margarethe", "margarete", "marguerite", "margarita", "margherita", "margriet",
         "peggy", "maggie", "meg", "madge", "greta", "gretchen", "marjorie"},
        {"louis", "ludwig", "luis", "luigi", "lodewijk", "lewis", "ludovic", "ludovico"},
        {"louise", "luise", "luisa", "louisa", "lovisa"},
        {"george", "georg", "georges", "jorge", "giorgio", "joris", "georgy", "yuri"},
        {"anne", "anna", "ann", "hannah", "anita", "annie", "nancy", "nan", "anny"},
        {"james", "jacques", "jaime", "giacomo", "jakob", "jacob", "jim", "jimmy", "jas", "diego"},
        {"joseph", "josef", "giuseppe", "jose", "joe", "jos"},
        {"peter", "pierre", "pedro", "pietro", "pieter", "piet", "pete", "petr", "pyotr"},
        {"francis", "franz", "francois", "francisco", "francesco", "frank", "frans", "frantz"},
        {"frances", "francoise", "francisca", "francesca", "fanny"},
        {"edward", "eduard", "edouard", "eduardo", "edoardo", "ted", "ned", "eddie", "edw"},
        {"robert", "roberto", "rupert", "ruprecht", "bob", "bobby", "rob", "robin", "robt"},
        {"richard", "ricardo", "riccardo", "dick", "rick", "richd"},
        {"alexander", "alexandre", "alessandro", "alejandro", "aleksandr", "alex", "sandy",
         "alasdair", "alistair"},
        {"alexandra", "alexandrine", "alessandra", "alejandra", "aleksandra"},
        {"sophia", "sophie", "sofia", "sophy", "zofia"},
        {"christian", "christiaan", "cristian", "christen", "kristian"},
        {"christina", "christine", "kristina", "cristina", "tina", "kirsten"},
        {"michael", "michel", "miguel", "michele", "mikhail", "mike", "mick"},
        {"thomas", "tomas", "tommaso", "tom", "tommy", "thos"},
        {"nicholas", "nikolaus", "nicolas", "nicola", "nicolo", "nikolai", "nick", "klaus",
         "claus"},
        {"augustus", "august", "auguste", "augusto", "gus"},
        {"augusta", "auguste"},
        {"caroline", "karoline", "carolina", "carolyn", "carrie"},
        {"charlotte", "carlota", "carlotta", "lottie"},
        {"philip", "philipp", "philippe", "felipe", "filippo", "phil"},
        {"wilhelmina", "wilhelmine", "guillermina", "mina", "minnie"},
        {"maximilian", "maximilien", "massimiliano", "max"},
        {"leopold", "leopoldo", "leo"},
        {"victoria", "viktoria", "vittoria", "vicky"},
        {"helen", "helena", "helene", "elena", "ellen", "nell", "nellie", "elaine"},
        {"dorothy", "dorothea", "dorothee", "dolly", "dot"},
        {"amelia", "amalie", "amalia", "emilia", "emily", "amelie"},
        {"ernest", "ernst", "ernesto"},
        {"albert", "alberto", "albrecht", "bert"},
        {"adolphus", "adolf", "adolph", "adolfo", "adolphe"},
        {"gustav", "gustavus", "gustave", "gustaf", "gustavo"},
        {"otto", "otho", "odo"},
        {"andrew", "andreas", "andre", "andres", "andrea", "andy", "andrei"},
        {"stephen", "stefan", "stephan", "etienne", "esteban", "stefano", "steven", "steve"},
        {"anthony", "anton", "antoine", "antonio", "antony", "tony"},
        {"benjamin", "ben", "benj"},
        {"samuel", "sam", "saml"},
        {"abraham", "abram", "abe"},
        {"daniel", "dan", "danl"},
        {"david", "davide", "dave", "davy"},
        {"matthew", "matthias", "mathias", "matthieu", "mateo", "matteo", "matt"},
        {"susan", "susanna", "susannah", "suzanne", "sue", "susie"},
        {"sarah", "sara", "sally", "sadie"},
        {"martha", "marthe", "marta", "patty", "mattie"},
        {"eleanor", "eleonore", "eleonora", "leonor", "leonora", "elinor", "nora"},
        {"joan", "jeanne", "johanna", "juana", "giovanna", "jane", "jean", "janet", "jenny"},
        {"theodore", "theodor", "teodoro", "theo", "teddy"},
        {"ferdinand", "fernando", "ferdinando"},
        {"constantine", "konstantin", "constantin", "costantino"},
        {"olga", "helga"},
        {"irene", "irina", "eirene"},
        {"marjorie", "margery"},
        {"patricia", "pat", "patsy"},
        {"rebecca", "rebekah", "becky"},
        {"jeremiah", "jeremy", "jerry"},
        {"zachary", "zachariah", "zacharias", "zack"},
        {"hezekiah", "ezekiel"},
    };
    VariantTable table;
    for (const auto &group : groups)
        for (const std::string_view word : group)
            table.emplace(word, group.front());
    return table;
}

int soundClass(char c)
{
    switch (c) {
    case 'b':
    case 'f':
    case 'p':
    case 'v':
        return 1;
    case 'c':
    case 'g':
    case 'j':
    case 'k':
    case 'q':
    case 's':
    case 'x':
    case 'z':
        return 2;
    case 'd':
    case 't':
        return 3;
    case 'l':
        return 4;
    case 'm':
    case 'n':
        return 5;
    case 'r':
        return 6;
    default:
        return 0; // vowels, h, w, y
    }
}

} // namespace

std::vector<std::string> words(QStringView text)
{
    std::vector<std::string> out;
    foldInto(text, out);
    return out;
}

std::string_view variantOf(std::string_view word)
{
    static const VariantTable table = makeVariants();
    const auto it = table.find(word);
    return it == table.end() ? word : it->second;
}

quint32 soundKey(std::string_view word)
{
    if (word.empty())
        return 0;
    const char head = word.front();
    quint32 key = head >= '0' && head <= '9' ? quint32(27 + head - '0') : quint32(head - 'a' + 1);
    int last = soundClass(word.front());
    int count = 0;
    for (size_t i = 1; i < word.size() && count < 6; ++i) {
        const char c = word[i];
        const int cls = soundClass(c);
        if (cls == 0) {
            if (c != 'h' && c != 'w')
                last = 0; // a vowel parts two equal consonants
            continue;
        }
        if (cls == last)
            continue;
        key = key * 8 + quint32(cls);
        last = cls;
        ++count;
    }
    return key * 8 + quint32(count); // the length tells "b" from "b" followed by nothing
}

bool oneEditApart(std::string_view a, std::string_view b)
{
    if (a.size() < b.size())
        std::swap(a, b);
    const size_t la = a.size(), lb = b.size();
    if (la - lb > 1)
        return false;
    size_t i = 0;
    while (i < lb && a[i] == b[i])
        ++i;
    if (la == lb) {
        if (i == la)
            return true;
        // One changed letter, or two neighbours swapped.
        if (a.substr(i + 1) == b.substr(i + 1))
            return true;
        return i + 1 < la && a[i] == b[i + 1] && a[i + 1] == b[i] &&
               a.substr(i + 2) == b.substr(i + 2);
    }
    return a.substr(i + 1) == b.substr(i);
}

std::string placeKey(QStringView place)
{
    const qsizetype comma = place.indexOf(u',');
    const std::vector<std::string> parts = words(comma < 0 ? place : place.left(comma));
    std::string key;
    for (const std::string &w : parts) {
        if (!key.empty())
            key.push_back(' ');
        key += w;
    }
    return key;
}

} // namespace Genealogy::NameFolding
