#pragma once

#include <optional>

// The moving label of the subject screen: it slides in from the right edge
// of the screen, 100 twips a tick, until its right end is inside, then rests
// and starts again from the right edge.
namespace pel::subjects {

inline constexpr int TwipsPerPixel = 15;
inline constexpr int SlideStepTwips = 100;

// The label's next left edge (twips) while part of it still sticks out on
// the right of innerWidth; nothing when it has come fully into view and
// rests.
std::optional<int> nextSlideLeft(int left, int labelWidth, int innerWidth);

} // namespace pel::subjects
