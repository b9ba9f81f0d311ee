#include "PageRules.h"

#include "GridGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Pixtile {

namespace PageRules {

namespace {

std::optional<double> ParseNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

bool IsNumber(const QString &text)
{
    return ParseNumber(text).has_value();
}

int NumberOf(const QString &text)
{
    const std::optional<double> value = ParseNumber(text);
    if (!value)
        return 0;
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    return int(std::lround(std::clamp(*value, kMin, kMax)));
}

QString RepairMetric(const QString &text, MetricRange range)
{
    const std::optional<double> value = ParseNumber(text);
    if (!value)
        return QString::number(range.fallback);
    if (*value < range.low)
        return QString::number(range.low);
    if (*value > range.high)
        return QString::number(range.high);
    return text;
}

// The same widths as the viewer's own grid uses.
int OuterBorderWidth(int thumbBorderStyle)
{
    return Pixtile::OuterBorderWidth(thumbBorderStyle);
}

int InnerBorderWidth(int thumbBorderInStyle)
{
    return Pixtile::InnerBorderWidth(thumbBorderInStyle);
}

int LabelBorderWidth(int labelBorderStyle)
{
    return Pixtile::LabelBorderWidth(labelBorderStyle);
}

std::optional<int> CheckedOffset(int width, int height, int offset, int outerWidth, int innerWidth)
{
    const int smaller = std::min(width, height);
    if (smaller - 2 * outerWidth - 2 * offset - 2 * innerWidth >= 10)
        return std::nullopt;
    // Int() rounds towards minus infinity.
    const int room = smaller - 2 * outerWidth - 2 * innerWidth - 10;
    return int(std::floor(room / 2.0));
}

QStringList BorderNames()
{
    return {"thoThinRaisedLight", "thoThinRaisedDark", "thoThinSunkenLight", "thoThinSunkenDark",
            "thoRaised",          "thoSunken",         "thoEtched",          "thoBump"};
}

QStringList BorderInNames()
{
    return {"thiNone",
            "thiThinRaisedLight",
            "thiThinRaisedDark",
            "thiThinSunkenLight",
            "thiThinSunkenDark",
            "thiRaised",
            "thiSunken",
            "thiEtched",
            "thiBump"};
}

const std::array<PatternBox, kPatternBoxCount> &PatternBoxes()
{
    static const std::array<PatternBox, kPatternBoxCount> boxes{{
        {"BMP   (Windows Bitmap)", "*.bmp;"},
        {"JPG   (Jpeg file)", "*.jpg;"},
        {"JPEG   (Jpeg file)", "*.jpeg;"},
        {"GIF   (CompuServe Gif file)", "*.gif;"},
        {"DIB   (Device independed Bitmap)", "*.dib;"},
        {"WMF   (Windows Metafile)", "*.wmf;"},
        {"EMF   (Windows Enhanced Metafile)", "*.emf;"},
        {"ICO   (Icon)", "*.ico;"},
        {"CUR   (Cursor)", "*.cur;"},
        {"PNG   (Portable Network Graphics)", "*.png;"},
    }};
    return boxes;
}

QString BuildPattern(const PatternChecks &checks)
{
    QString text;
    for (int i = 0; i < kPatternBoxCount; ++i) {
        if (checks[i])
            text += QLatin1String(PatternBoxes()[i].tag);
    }
    if (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    return text;
}

void SplitPattern(const QString &pattern, PatternChecks &checks)
{
    QString rest = pattern + QLatin1Char(';');
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf(QLatin1Char(';'));
        if (end < 0)
            break;
        const QString piece = rest.left(end + 1);
        rest.remove(0, end + 1);
        for (int i = 0; i < kPatternBoxCount; ++i) {
            if (piece == QLatin1String(PatternBoxes()[i].tag)) {
                checks[i] = true;
                break;
            }
        }
    }
}

} // namespace PageRules

} // namespace Pixtile
