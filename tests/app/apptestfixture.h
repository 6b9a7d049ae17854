#pragma once
// A started program for tests: its own settings file, scripted dialogs, a private single-copy name, an offline
// audio output, a scripted sound card with a master and a microphone control (0..65535), and an end that only
// records that the program would have ended.

#include "app/application.h"
#include "app/singleinstance.h"
#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "audio/audioengine.h"
#include "audio/offlineoutput.h"
#include "console/mainform.h"
#include "mixer/scriptedmixerbackend.h"
#include "settings/settingkeys.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QUuid>

#include <memory>

namespace marvane::test {

class AppTest : public FolderTest {
 protected:
  SettingsStore& store_ = settings_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<SingleInstance> instance_;
  std::unique_ptr<Application> app_;
  int ended_ = 0;
  QStringList stages_;
  ScriptedMixerBackend* card_ = nullptr;  // the current start's card
  bool cardHasMixer_ = true;
  Clock* clock_ = &SystemClock();  // the clock the next start runs on

  // Starts the program as a fresh process would, with the given command line.
  bool Start(const QString& commandLine = QString()) {
    instance_ = std::make_unique<SingleInstance>(QUuid::createUuid().toString(QUuid::WithoutBraces));
    app_.reset();
    Devices devices;
    devices.output = [](const OutputChoice& choice, QString*) {
      return std::make_unique<OfflineOutput>(choice.sampleRate, choice.bufferFrames);
    };
    devices.outputDevices = [] { return QStringList{u"Default"_s, u"Test Card"_s}; };
    devices.clock = clock_;
    devices.mixer = [this] {
      auto card = std::make_unique<ScriptedMixerBackend>();
      if (cardHasMixer_) {
        card->speakers = ScriptedMixerBackend::Control(1, 0, 65535);
        card->microphone = ScriptedMixerBackend::Control(2, 0, 65535);
      }
      card_ = card.get();
      return card;
    };
    app_ = std::make_unique<Application>(store_, dialogs_, std::move(devices));
    app_->endProgram = [this] { ++ended_; };
    app_->onProgress = [this](const QString& action, int) {
      if (stages_.isEmpty() || stages_.back() != action) stages_ << action;
    };
    return app_->Main(commandLine, *instance_);
  }

  // Ends the program (answering Yes) and starts it again on the same settings.
  void Restart(const QString& commandLine = QString()) {
    dialogs_.messageAnswers.push_back(MessageResult::Yes);
    ASSERT_TRUE(app_->ExitProgram(true));
    app_.reset();
    instance_.reset();
    dialogs_.messages.clear();
    ASSERT_TRUE(Start(commandLine));
  }
};

}  // namespace marvane::test
