#pragma once
// The console's 16 x 16 pixel button pictures, drawn once and kept. "Unlit" pictures are light grey, "lit" ones
// red (or green for Always On), so a switch's state reads at a glance.

#include <QPixmap>

namespace marvane {

enum class ConsoleIcon {
  Open, Play, Stop,
  LoopUnlit, LoopLit,
  LeftUnlit, LeftLit,
  OnUnlit, OnLit,
  RightUnlit, RightLit,
  AutoPlay, AutoNext, AutoStop,
};

QPixmap ConsoleIconPixmap(ConsoleIcon icon);

inline constexpr int kIconPixels = 16;

}  // namespace marvane
