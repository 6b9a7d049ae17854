#pragma once
// Puts a top-level window into or out of the band of windows that stay above all others, without moving it.
// Changing the flag makes Qt re-create the native window, which hides it; a shown window is shown again at
// the same place.
//
// UI thread only.

class QWidget;

namespace marvane {

void StayOnTop(QWidget* window, bool onTop);

}  // namespace marvane
