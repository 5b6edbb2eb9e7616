// The About window's handlers, apart from the window itself.
#pragma once

#include <functional>
#include <string>

namespace app {

inline constexpr int kAboutCountdownStart = 10;

// One period of the countdown: the button's new caption and whether it can
// be pressed now ("9" .. "1", then "确定" on every later period).
struct CountdownStep {
  std::string caption;
  bool enabled = false;
};
CountdownStep CountdownTick(int& countdown);

// A mouse move over the window drops a stone where the mouse is, of a random
// size 0..5 and strength 100..300, while the ripple is active.
using DropStone = std::function<void(int x, int y, int size, int strength)>;
void RippleOnMouseMove(int rippleActive, int x, int y, const DropStone& dropStone);

}  // namespace app
