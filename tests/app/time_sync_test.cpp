#include "app/time_sync.h"

#include <gtest/gtest.h>

#include <string_view>

#include "runtime/date_time.h"
#include "tests/support/gbk_expect.h"

namespace app {
namespace {

class RecordingClock final : public runtime::Clock {
 public:
  runtime::DateTime Now() override { return 0; }
  bool SetLocal(const runtime::DateTimeParts& parts) override {
    set = parts;
    ++calls;
    return accept;
  }
  bool accept = true;
  int calls = 0;
  runtime::DateTimeParts set;
};

class TimeSyncTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = runtime::InstallClock(&clock_); }
  void TearDown() override { runtime::InstallClock(previous_); }

  TimeSyncOutcome Apply(std::string_view body) {
    return ApplyTimeServerAnswer(
        std::span(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()), kept_);
  }

  RecordingClock clock_;
  std::string kept_ = "an earlier answer";

 private:
  runtime::Clock* previous_ = nullptr;
};

TEST_F(TimeSyncTest, ADateTimeSetsTheClock) {
  EXPECT_EQ(Apply("2011-05-06 12:30:45"), TimeSyncOutcome::kDone);
  EXPECT_EQ(kept_, "2011-05-06 12:30:45");
  ASSERT_EQ(clock_.calls, 1);
  EXPECT_EQ(clock_.set.year, 2011);
  EXPECT_EQ(clock_.set.day, 6);
  EXPECT_EQ(clock_.set.hour, 12);
  EXPECT_EQ(clock_.set.second, 45);
  const TimeSyncMessage message = MessageFor(TimeSyncOutcome::kDone);
  EXPECT_GBK_EQ(message.text, "网络校时成功！");
  EXPECT_GBK_EQ(message.title, "恭喜");
}

TEST_F(TimeSyncTest, NothingBackReplacesTheKeptAnswer) {
  EXPECT_EQ(Apply(""), TimeSyncOutcome::kNoAnswer);
  EXPECT_EQ(kept_, "");
  EXPECT_EQ(Apply(std::string_view("\0rest", 5)), TimeSyncOutcome::kNoAnswer);
  EXPECT_EQ(clock_.calls, 0);
  EXPECT_GBK_EQ(MessageFor(TimeSyncOutcome::kNoAnswer).text, "未联网或获取服务器时间超时！");
  EXPECT_STREQ(MessageFor(TimeSyncOutcome::kNoAnswer).title, "");
}

TEST_F(TimeSyncTest, AnAnswerThatIsNoDateTimeChangesNothing) {
  for (const char* body : {"<html>404</html>", "2011-05-06 12:30:45\r\n", "0100-01-01"}) {
    EXPECT_EQ(Apply(body), TimeSyncOutcome::kNotADateTime) << body;
    EXPECT_EQ(kept_, body);
  }
  EXPECT_EQ(clock_.calls, 0);
  EXPECT_GBK_EQ(MessageFor(TimeSyncOutcome::kNotADateTime).text, "服务器返回的时间无效，校时失败！");
}

TEST_F(TimeSyncTest, ARefusedClockIsReported) {
  clock_.accept = false;
  EXPECT_EQ(Apply("2011-05-06 12:30:45"), TimeSyncOutcome::kClockRefused);
  EXPECT_EQ(clock_.calls, 1);
  EXPECT_GBK_EQ(MessageFor(TimeSyncOutcome::kClockRefused).text, "无法修改系统时间，请以管理员身份运行后再试！");
}

}  // namespace
}  // namespace app
