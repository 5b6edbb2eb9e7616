#include "app/time_sync.h"

#include "runtime/date_time.h"

namespace app {

TimeSyncOutcome ApplyTimeServerAnswer(std::span<const std::uint8_t> body, std::string& keptAnswer) {
  keptAnswer = runtime::BytesToText(body);
  if (runtime::TextLength(keptAnswer.c_str()) == 0) return TimeSyncOutcome::kNoAnswer;
  const runtime::DateTime time = runtime::TextToDateTime(keptAnswer);
  if (time == runtime::kMinDateTime) return TimeSyncOutcome::kNotADateTime;
  if (!runtime::SetLocalClock(time)) return TimeSyncOutcome::kClockRefused;
  return TimeSyncOutcome::kDone;
}

TimeSyncMessage MessageFor(TimeSyncOutcome outcome) {
  switch (outcome) {
    case TimeSyncOutcome::kNoAnswer:
      return {"未联网或获取服务器时间超时！", ""};
    case TimeSyncOutcome::kNotADateTime:
      return {"服务器返回的时间无效，校时失败！", ""};
    case TimeSyncOutcome::kClockRefused:
      return {"无法修改系统时间，请以管理员身份运行后再试！", ""};
    case TimeSyncOutcome::kDone:
      break;
  }
  return {"网络校时成功！", "恭喜"};
}

}  // namespace app
