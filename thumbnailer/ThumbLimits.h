#pragma once

#include <algorithm>

namespace Pixtile {

// Limits of the Thumbnailer's size properties.
namespace ThumbLimits {

constexpr int kMinThumbSize = 20;
constexpr int kMaxThumbSize = 200;
constexpr int kMinOffset = 1;
constexpr int kMaxOffset = 10;
constexpr int kMinSpace = 1;
constexpr int kMaxSpace = 20;

constexpr int clampThumbSize(int value)
{
    return std::clamp(value, kMinThumbSize, kMaxThumbSize);
}
constexpr int clampOffset(int value)
{
    return std::clamp(value, kMinOffset, kMaxOffset);
}
constexpr int clampSpace(int value)
{
    return std::clamp(value, kMinSpace, kMaxSpace);
}

} // namespace ThumbLimits

} // namespace Pixtile
