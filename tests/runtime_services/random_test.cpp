#include "runtime/random.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <thread>
#include <vector>

namespace runtime {
namespace {

// The generator's state is per thread: a new thread starts from the fixed
// start state and a zero seed adjustment.
template <class F>
auto OnFreshThread(F body) {
  decltype(body()) result{};
  std::thread([&] { result = body(); }).join();
  return result;
}

std::vector<std::int32_t> Draws(int count, std::optional<std::int32_t> low = 0,
                                std::optional<std::int32_t> high = 32767) {
  std::vector<std::int32_t> values;
  for (int i = 0; i < count; ++i) values.push_back(RandomNumber(low, high));
  return values;
}

// The classic generator from state 1.
const std::vector<std::int32_t> kFromOne = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};

TEST(RandomGenerator, StartsFromAFixedStateAndReseedsExactly) {
  EXPECT_EQ(OnFreshThread([] { return Draws(10); }), kFromOne);
  EXPECT_EQ(OnFreshThread([] {
              Draws(3);
              SeedRandom(1);
              return Draws(10);
            }),
            kFromOne);
  // low + r mod (range + 1): 100 + 41 mod 11, 100 + 18467 mod 11.
  EXPECT_EQ(OnFreshThread([] { return Draws(2, 100, 110); }), (std::vector<std::int32_t>{108, 109}));
}

TEST(RandomGenerator, StateIsPerThread) {
  const auto sequence = OnFreshThread([] {
    const std::int32_t first = RandomNumber(0, 32767);
    std::thread([] { Draws(5); }).join();
    return std::vector<std::int32_t>{first, RandomNumber(0, 32767)};
  });
  EXPECT_EQ(sequence, (std::vector<std::int32_t>{41, 18467}));
}

TEST(RandomGenerator, BoundsAreIncludedAndNormalised) {
  struct Case {
    std::optional<std::int32_t> low, high;
    std::int32_t min, max;
  };
  const Case cases[] = {
      {0, 5, 0, 5},
      {100, 300, 100, 300},
      {300, 100, 100, 300},
      {-5, 5, 0, 5},
      {-5, -1, 0, 0},
      {7, 7, 7, 7},
      {std::nullopt, std::nullopt, 0, 32767},  // the range is capped, only r itself comes out
      {2147483600, std::nullopt, 2147483600, 2147483647},
      {2147483647, std::nullopt, 2147483647, 2147483647},
      {std::nullopt, 10, 0, 10},
  };
  SeedRandom(12345);
  for (const Case& c : cases) {
    std::set<std::int32_t> seen;
    for (const std::int32_t value : Draws(4000, c.low, c.high)) {
      ASSERT_GE(value, c.min) << c.low.value_or(-99) << ".." << c.high.value_or(-99);
      ASSERT_LE(value, c.max) << c.low.value_or(-99) << ".." << c.high.value_or(-99);
      seen.insert(value);
    }
    if (c.max - c.min <= 200) {
      EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.max - c.min + 1)) << c.min << ".." << c.max;
    }
  }
}

std::uint32_t TicksAt1000() { return 1000; }

TEST(RandomGenerator, SeedingTwiceInOneMillisecondDiffers) {
  const TickSource previous = InstallTickSource(TicksAt1000);
  const auto [first, second] = OnFreshThread([] {
    SeedRandom();
    auto a = Draws(5);
    SeedRandom();
    return std::pair(a, Draws(5));
  });
  InstallTickSource(previous);
  // t + adj with adj 0, then adj = 0 + (1000 mod 256) + 100 = 332.
  EXPECT_EQ(first, OnFreshThread([] {
              SeedRandom(1000);
              return Draws(5);
            }));
  EXPECT_EQ(second, OnFreshThread([] {
              SeedRandom(1332);
              return Draws(5);
            }));
}

}  // namespace
}  // namespace runtime
