#pragma once

#include "ThumbLimits.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace Pixtile {

// The rules of the Appearance and Behavior property pages, kept apart from the widgets so that
// they can be checked without a window.
namespace PageRules {

// The accepted range of one metric box and the text that replaces a text that is not a number.
struct MetricRange
{
    int low;
    int high;
    int fallback;
};

// The control's own limits; a text that is not a number becomes the fallback.
constexpr MetricRange kWidthRange{ThumbLimits::kMinThumbSize, ThumbLimits::kMaxThumbSize, 60};
constexpr MetricRange kHeightRange{ThumbLimits::kMinThumbSize, ThumbLimits::kMaxThumbSize, 60};
constexpr MetricRange kOffsetRange{ThumbLimits::kMinOffset, ThumbLimits::kMaxOffset, 1};
constexpr MetricRange kSpaceRange{ThumbLimits::kMinSpace, ThumbLimits::kMaxSpace, 1};

// True when the text reads as a number (blanks around it allowed); "" is not a number.
bool IsNumber(const QString &text);
// The number in a text that IsNumber accepts, rounded to a whole number; 0 otherwise.
int NumberOf(const QString &text);
// The text a metric box must hold instead of `text`: the fallback for a text that is not a
// number, the nearest limit for a number outside the range, otherwise `text` itself.
QString RepairMetric(const QString &text, MetricRange range);

// Border widths in pixels, from the list positions of the three border style lists.
int OuterBorderWidth(int thumbBorderStyle);
int InnerBorderWidth(int thumbBorderInStyle);
int LabelBorderWidth(int labelBorderStyle);

// The offset that keeps at least 10 pixels for the picture inside a cell of the given size, or
// nothing when `offset` already does.
std::optional<int> CheckedOffset(int width, int height, int offset, int outerWidth, int innerWidth);

// The names of the border style lists, in value order.
QStringList BorderNames();
QStringList BorderInNames();

// The file pattern check boxes of the Behavior page: the nine classic formats and PNG, which the
// viewer decodes as well and most of today's photos use.
constexpr int kPatternBoxCount = 10;
using PatternChecks = std::array<bool, kPatternBoxCount>;

struct PatternBox
{
    const char *caption;
    const char *tag;
};
const std::array<PatternBox, kPatternBoxCount> &PatternBoxes();

// The pattern text of the checked boxes: their tags in box order, without the last ";".
QString BuildPattern(const PatternChecks &checks);
// Checks, in `checks`, the first box whose tag equals each ";"-separated piece of the pattern
// exactly (upper case does not match); unknown pieces are skipped, no box is unchecked.
void SplitPattern(const QString &pattern, PatternChecks &checks);

} // namespace PageRules

} // namespace Pixtile
