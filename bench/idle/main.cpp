// Idle benchmark: what the console costs while nothing plays. Builds the real main window with its tool tips and
// status help, the audio engine and the main timer at its normal 300 ms, shows the window on Qt's offscreen
// platform and lets the event loop run with no input for a while. Prints, as `name: value unit` lines:
//   idle_cpu_percent          user + system CPU time of the whole process over wall time, in percent of one core,
//                             with the engine on the null output (a thread that mixes the silent players in real
//                             time, as when no sound card opens)
//   idle_ui_only_cpu_percent  the same with an output nobody pulls: the window, the timer and the players' own
//                             timers alone
//   idle_high_priority_cpu_percent
//                             the first run again with the main timer at 1 ms, as in high-priority mode
//   idle_ticks, idle_ui_only_ticks, idle_high_priority_ticks
//                             main-timer ticks counted during each run, to show the timer really ran
//
// Usage: bench_idle [seconds per run, default 10]

#include "support/benchutil.h"

#include <sys/resource.h>

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "audio/audioengine.h"
#include "audio/nulloutput.h"
#include "audio/offlineoutput.h"
#include "console/consolestate.h"
#include "console/mainform.h"
#include "console/maintimer.h"
#include "console/statushelp.h"

namespace {

using marvane::bench::Print;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Result {
  double cpuPercent = 0.0;
  int ticks = 0;
};

Result RunIdle(std::unique_ptr<marvane::AudioOutput> output, double seconds, int intervalMs) {
  marvane::AudioEngine engine(std::move(output));
  marvane::MainForm form;
  marvane::ConsoleState state;
  state.RemainTime = true;
  marvane::StatusHelp help(form);
  help.ToolsOn();
  marvane::MainTimer timer(form, engine, state, [] { return 0; });
  int ticks = 0;
  QObject::connect(form.Timer1(), &marvane::ClockTimer::timeout, [&ticks] { ++ticks; });
  form.show();
  form.Timer1()->setInterval(intervalMs);
  form.Timer1()->start();

  // Let the window's first paint and the start-up work settle before measuring.
  QTimer::singleShot(1000, qApp, &QCoreApplication::quit);
  QApplication::exec();
  ticks = 0;

  const double cpuBefore = CpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  QTimer::singleShot(static_cast<int>(seconds * 1000), qApp, &QCoreApplication::quit);
  QApplication::exec();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  const double cpu = CpuSeconds() - cpuBefore;
  form.Timer1()->stop();
  return {100.0 * cpu / wall, ticks};
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;

  const Result withNull = RunIdle(std::make_unique<marvane::NullOutput>(), seconds, 300);
  Print("idle_cpu_percent", withNull.cpuPercent, "%");
  Print("idle_ticks", withNull.ticks, "count");

  const Result uiOnly = RunIdle(std::make_unique<marvane::OfflineOutput>(), seconds, 300);
  Print("idle_ui_only_cpu_percent", uiOnly.cpuPercent, "%");
  Print("idle_ui_only_ticks", uiOnly.ticks, "count");

  const Result highPriority = RunIdle(std::make_unique<marvane::NullOutput>(), seconds, 1);
  Print("idle_high_priority_cpu_percent", highPriority.cpuPercent, "%");
  Print("idle_high_priority_ticks", highPriority.ticks, "count");
  return 0;
}
