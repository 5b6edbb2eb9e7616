// The program's random numbers: the classic linear congruential generator,
// one state per thread, seeded from the tick count.
#pragma once

#include <cstdint>
#include <optional>

namespace runtime {

// low + r mod (range + 1) with r in [0, 32767]: both bounds are included.
// A missing low is 0, a missing high 2147483647, a negative bound counts as
// 0, and the bounds are exchanged when low is above high. With a range above
// 32767 only low .. low + 32767 can come out.
std::int32_t RandomNumber(std::optional<std::int32_t> low = std::nullopt,
                          std::optional<std::int32_t> high = std::nullopt);

// With a seed the state becomes the seed. Without, it becomes t + adj (t the
// tick count, adj this thread's seed adjustment, 0 at first), and adj grows by
// ((t + adj) mod 256) + 100, so two seedings within one millisecond differ.
void SeedRandom(std::optional<std::uint32_t> seed = std::nullopt);

// Milliseconds since the system started, wrapping at 2^32.
using TickSource = std::uint32_t (*)();
std::uint32_t SystemTickCount();
// Installs the tick source SeedRandom reads (nullptr: SystemTickCount again);
// returns the previous one.
TickSource InstallTickSource(TickSource source);

}  // namespace runtime
