// Eight players driven hard from the UI thread while a real-time output mixes them: opens, seeks, loops, volume
// and balance changes, play and stop, in a fixed pseudo-random order. Nothing may crash, hang or deadlock, every
// event must be a legal transition, and afterwards every player still plays. Run under ThreadSanitizer this is
// the check of the engine's threads.

#include "audio/nulloutput.h"
#include "audiotestutil.h"

#include <random>

namespace marvane::test {
namespace {

TEST(StressTest, EightPlayersUnderRandomCallsStayConsistent) {
  QTemporaryDir dir;
  const QStringList files = {
      MakeFile(dir.path(), u"a.wav"_s, u"0.3*sin(2*PI*300*t)"_s, 0.7, "-c:a pcm_f32le"),
      MakeFile(dir.path(), u"b.mp3"_s, u"0.3*sin(2*PI*500*t)"_s, 2.0, "-c:a libmp3lame"),
      MakeFile(dir.path(), u"c.wav"_s, u"0.3*sin(2*PI*700*t)"_s, 0.3, "-c:a pcm_f32le", 22050, 1),
      dir.filePath(u"missing.wav"_s)};
  ASSERT_FALSE(files[0].isEmpty() || files[1].isEmpty() || files[2].isEmpty());
  // The real-time path the sound card would drive, at a small buffer so callbacks come often.
  AudioEngine engine(std::make_unique<NullOutput>(48000, 128));
  std::vector<std::unique_ptr<EventLog>> logs;
  for (int slot = 0; slot < 8; ++slot) logs.push_back(std::make_unique<EventLog>(*engine.PlayerAt(slot)));
  std::mt19937 random(20240605);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 1500) {
    MediaPlayer& player = *engine.PlayerAt(static_cast<int>(random() % 8));
    switch (random() % 9) {
      case 0: player.Open(files[static_cast<int>(random() % files.size())]); break;
      case 1: player.Play(); break;
      case 2: player.Stop(); break;
      case 3: player.SetCurrentPosition((random() % 2500) / 1000.0); break;
      case 4: player.SetVolume(-static_cast<int>(random() % 10001)); break;
      case 5: player.SetBalance(static_cast<int>(random() % 20001) - 10000); break;
      case 6: player.SetPlayCount(random() % 2 ? 1 : 999999); break;
      case 7: player.SetAutoStart(random() % 2); break;
      default: WaitFor([] { return false; }, static_cast<int>(random() % 5)); break;
    }
  }
  // Every event is a legal move between the documented states: play 0 and 2, open 0, 5 and 6.
  for (const auto& log : logs)
    for (const EventLog::Event& event : log->events)
      EXPECT_TRUE(event.oldState != event.newState &&
                  (event.newState == 0 || event.newState == (event.kind == 'p' ? 2 : 5) ||
                   (event.kind == 'o' && event.newState == 6)))
          << event.kind << event.oldState << event.newState;
  // Afterwards each player still opens, plays from where it is asked and advances in real time.
  // All open before any plays, so that slow opens (a sanitizer build) do not make the first ones run ahead.
  for (int slot = 0; slot < 8; ++slot) {
    engine.PlayerAt(slot)->SetPlayCount(1);
    ASSERT_EQ(OpenAndWait(*engine.PlayerAt(slot), files[1]), 6) << slot;
  }
  for (int slot = 0; slot < 8; ++slot) engine.PlayerAt(slot)->SetCurrentPosition(0.5), engine.PlayerAt(slot)->Play();
  WaitFor([] { return false; }, 300);
  for (int slot = 0; slot < 8; ++slot) {
    const double at = engine.PlayerAt(slot)->CurrentPosition();
    EXPECT_TRUE(at > 0.6 && at < 1.3) << slot << ": " << at;
  }
}

}  // namespace
}  // namespace marvane::test
