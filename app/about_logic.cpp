#include "app/about_logic.h"

#include "runtime/date_time.h"
#include "runtime/random.h"

namespace app {

CountdownStep CountdownTick(int& countdown) {
  if (countdown > 1) {
    --countdown;
    return {runtime::IntToText(countdown), false};
  }
  return {"确定", true};
}

void RippleOnMouseMove(int rippleActive, int x, int y, const DropStone& dropStone) {
  if (rippleActive == 0) return;
  const int size = runtime::RandomNumber(0, 5);
  const int strength = runtime::RandomNumber(100, 300);
  dropStone(x, y, size, strength);
}

}  // namespace app
