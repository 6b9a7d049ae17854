#pragma once
// The five colours of the colour scheme. Colours are 32-bit values with red in the low byte (0x0000FF is red),
// as they are stored in the settings and in a Face's colour file.

#include <QtGlobal>

namespace marvane {

struct ColorScheme {
  quint32 TextColor = 14737632;   // 0xE0E0E0, light grey
  quint32 LEDColor = 65535;       // 0x00FFFF, yellow
  quint32 LineColor = 4210752;    // 0x404040, dark grey
  quint32 BackColor = 0;          // black
  quint32 HiliteColor = 255;      // 0x0000FF, red
};

}  // namespace marvane
