#include "runtime/random.h"

#include <algorithm>
#include <atomic>

namespace runtime {
namespace {

// The state before any seeding, as in the C library's rand().
constexpr std::uint32_t kStartState = 1;

thread_local std::uint32_t state = kStartState;
thread_local std::uint32_t seedAdjustment = 0;

std::atomic<TickSource> tickSource{nullptr};

// [0, 32767]
std::int32_t Draw() {
  state = state * 214013u + 2531011u;  // modulo 2^32
  return static_cast<std::int32_t>((state >> 16) & 0x7FFF);
}

}  // namespace

std::int32_t RandomNumber(std::optional<std::int32_t> low, std::optional<std::int32_t> high) {
  std::int64_t lo = std::max<std::int32_t>(low.value_or(0), 0);
  std::int64_t hi = std::max<std::int32_t>(high.value_or(2147483647), 0);
  if (lo > hi) std::swap(lo, hi);
  if (lo == hi) return static_cast<std::int32_t>(lo);
  const std::int64_t range = std::min<std::int64_t>(hi - lo, 2147483646);
  return static_cast<std::int32_t>(lo + Draw() % (range + 1));
}

void SeedRandom(std::optional<std::uint32_t> seed) {
  if (seed) {
    state = *seed;
    return;
  }
  const TickSource source = tickSource.load();
  const std::uint32_t ticks = source ? source() : SystemTickCount();
  state = ticks + seedAdjustment;
  seedAdjustment += state % 256 + 100;
}

TickSource InstallTickSource(TickSource source) { return tickSource.exchange(source); }

}  // namespace runtime
