#pragma once

#include <array>
#include <cstdint>

#include "Canvas.h"

namespace azuz {

// Indexed by (x mod 3) * 3 + (y mod 3): a dot survives the fade when its entry exceeds
// level / 10, so 9 - level / 10 of every 9 dots are kept.
inline constexpr std::array<int, 9> FadeMatrix = {1, 5, 8, 7, 9, 3, 4, 2, 6};

// Whitens the faded-out dots of [left, right) x [top, bottom) that lie on the canvas. Level 0
// and levels above 100 (compared unsigned, so negative ones too) leave everything, as does a
// rectangle with right <= left or bottom <= top. Idempotent.
void ApplyFadePattern(Canvas& canvas, std::int64_t left, std::int64_t top, std::int64_t right,
                      std::int64_t bottom, std::int32_t level);

}  // namespace azuz
