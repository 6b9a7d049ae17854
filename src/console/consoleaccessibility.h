#pragma once
// The main window as assistive technology and scripts see it (QAccessible), on top of the skinnable controls'
// interfaces (appearance/accessiblecontrols.h): the window lists its controls with each switch (ImageSwitch) as
// one object in place of its two pictures: a check box (a loop switch) or a radio button (a fade-mode switch),
// checked while lit, whose press and toggle actions press the picture in front.
//
// UI thread only.

namespace marvane {

// Installs the interfaces (once; later calls do nothing). The main window calls it when it is created.
void InstallConsoleAccessibility();

}  // namespace marvane
