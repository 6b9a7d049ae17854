#pragma once
// A mixer backend for tests, at the system's edge: it plays a card whose controls and answers the test sets
// up, and records every call. AlsaMixerIntegrationTest drives the real backend against a real mixer.

#include "mixer/mixerbackend.h"

#include <optional>
#include <string>
#include <vector>

namespace marvane::test {

class ScriptedMixerBackend final : public MixerBackend {
 public:
  static constexpr quint32 kHandle = 7;

  struct Write {
    quint32 handle;
    quint32 controlId;
    qint32 level;
    bool operator==(const Write&) const = default;
  };

  // The card as the test sets it up: the open result and the controls present (none means not found).
  int openResult = 0;
  std::optional<MixerControl> speakers;
  std::optional<MixerControl> microphone;
  int setResult = 0;

  // What the program asked for, in order.
  std::vector<std::string> calls;
  std::vector<Write> writes;

  // A card whose master control has the given bounds (id 1) and whose microphone has the given bounds (id 2).
  static MixerControl Control(quint32 id, qint32 minimum, qint32 maximum) {
    return {id, id == 1 ? QStringLiteral("Master") : QStringLiteral("Capture"), minimum, maximum};
  }

  int Open(quint32& handle) override {
    calls.push_back("Open");
    if (openResult == 0) handle = kHandle;
    return openResult;
  }

  int GetLineControl(quint32 handle, MixerLineType line, MixerControlType, MixerControl& control) override {
    const bool isSpeakers = line == MixerLineType::Speakers;
    calls.push_back((isSpeakers ? "Speakers " : "Microphone ") + std::to_string(handle));
    if (handle != kHandle) return -9;
    const std::optional<MixerControl>& found = isSpeakers ? speakers : microphone;
    if (!found) return -2;
    control = *found;
    return 0;
  }

  int SetControlDetails(quint32 handle, quint32 controlId, qint32 level) override {
    writes.push_back({handle, controlId, level});
    return setResult;
  }

  // The levels written to one control, in order.
  std::vector<qint32> LevelsWritten(quint32 controlId) const {
    std::vector<qint32> levels;
    for (const Write& w : writes)
      if (w.controlId == controlId) levels.push_back(w.level);
    return levels;
  }
};

}  // namespace marvane::test
