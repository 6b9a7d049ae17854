// A small program that drives the real mixer as the console does, one command per line on standard input, so
// that the integration test can run it against different ALSA set-ups (ALSA reads its set-up once per process)
// and look at the system mixer between commands. Each command answers with one "ok ..." line giving the
// state; message boxes are recorded and answered, and printed as "message <title>|<text>|<icon>" lines.
//
// Commands: init, master <slider value>, mutedown, muteup, mic <slider value>, micwindow (MicButt's click),
// micslider <value> (the window's slider set to a value), quit.

#include "mixer/alsamixerbackend.h"
#include "appearance/minislider.h"
#include "common/colorscheme.h"
#include "mixer/masterstrip.h"
#include "support/tempsettings.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "mixer/mixer.h"
#include "support/scripteddialogs.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  marvane::AlsaMixerBackend backend;
  marvane::test::ScriptedDialogs dialogs;
  dialogs.onMessage = [](const marvane::test::AskedMessage& m) {
    std::printf("message %s|%s|%d\n", qPrintable(m.title), qPrintable(m.text), static_cast<int>(m.icon));
  };
  marvane::Mixer mixer(backend, dialogs);
  marvane::MasterStrip strip(mixer);
  marvane::test::TempSettings settings;
  marvane::ColorScheme colors;
  marvane::MicWindow mic(mixer, settings, colors, dialogs);

  std::string line;
  while (std::getline(std::cin, line)) {
    const auto space = line.find(' ');
    const std::string command = line.substr(0, space);
    const int value = space == std::string::npos ? 0 : std::stoi(line.substr(space + 1));
    if (command == "init") {
      mixer.InitMixer();
    } else if (command == "master") {
      strip.Scroll(value);
    } else if (command == "mutedown") {
      strip.MuteDown();
    } else if (command == "muteup") {
      strip.MuteUp(marvane::kLeftButton);
    } else if (command == "mic") {
      mixer.ApplyMicVolume(value);
    } else if (command == "micwindow") {
      mic.ShowMicWindow();
    } else if (command == "micslider") {
      if (mic.Window() != nullptr) mic.Window()->MicSlider()->SetValue(value);
    } else if (command == "quit") {
      break;
    } else {
      std::printf("unknown command %s\n", command.c_str());
    }
    std::printf("ok masterok=%d micok=%d span=%d base=%d result=%d messages=%d micwindow=%d master=%s mic=%s\n",
                mixer.MasterOK(), mixer.MicOK(), mixer.MasterSpan(), mixer.MasterBase(), mixer.MixerResult(),
                static_cast<int>(dialogs.messages.size()), mic.MicWindowOpen(), qPrintable(mixer.MasterControl().Name),
                qPrintable(mixer.MicControl().Name));
    std::fflush(stdout);
  }
  return 0;
}
