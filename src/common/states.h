#pragma once
// The numbers the program gives its states and mouse buttons, in one place. They are plain enums on purpose: the
// values are the program's own (a player's play state 2 is "playing" wherever it is stored or compared), so they
// convert to int and back without ceremony. Header only, Qt Core at most, so the audio engine can use it too.

#include <Qt>

namespace marvane {

// A player's play state (MediaPlayer::PlayState).
enum PlayStateCode : int { kStopped = 0, kPlaying = 2 };

// A player's open state (MediaPlayer::OpenState).
enum OpenStateCode : int { kClosed = 0, kOpening = 5, kOpen = 6 };

// Mouse buttons as the handlers number them; a mask (summed) where several can be held.
enum MouseButton : int { kNoButton = 0, kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// A line's place on the crossfader: its left side, Always On, or its right side.
enum FadeModeCode : int { kFadeLeft = 0, kAlwaysOn = 1, kFadeRight = 2 };

// The program's button mask of the Qt buttons held (other buttons count as none).
inline int ButtonMask(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? kLeftButton : 0) | (buttons & Qt::RightButton ? kRightButton : 0) |
         (buttons & Qt::MiddleButton ? kMiddleButton : 0);
}

// True for the left button alone or the left and right together: the masks in which knobs are dragged and a
// held image button follows the pointer.
constexpr bool IsDragMask(int mask) { return mask == kLeftButton || mask == (kLeftButton | kRightButton); }

}  // namespace marvane
