#include "subjects/labelslide.h"

namespace pel::subjects {

std::optional<int> nextSlideLeft(int left, int labelWidth, int innerWidth)
{
    if (left > innerWidth - labelWidth)
        return left - SlideStepTwips;
    return std::nullopt;
}

} // namespace pel::subjects
