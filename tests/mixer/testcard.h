#pragma once
// A sound card for tests, as an ALSA control plugin (ctl type "marvanetest", library marvane_test_card): one
// "Master Playback Volume" control, 0 to 100 on two channels, that a test takes away and brings back as a USB
// card's controls vanish and return. The plugin's state is the library's, so a test linked with it sees what
// the mixer wrote.

extern "C" {
// Removes the control (the mixer learns of it by its events), and brings it back.
void MarvaneTestCardUnplug();
void MarvaneTestCardReplug();
// The level last written to the control's first channel.
long MarvaneTestCardMaster();
}
