// Appearance benchmark: how fast a change of look shows on the real main window (offscreen platform). Prints, as
// `name: value unit` lines, medians over repeated runs:
//   color_change_ms  one click on a swatch of the Options dialog (Back Color) to the end of the main window's next
//                    paint (the window repainted at once, its children included)
//   color_change_write_ms
//                    of that, the part spent writing the "Back Color" setting alone (the settings file is
//                    replaced atomically and flushed to disk, so this follows the disk's load)
//   load_face_ms     LoadFace of the bundled "Sample" Face (background, knobs, colour scheme) to the end of the
//                    next paint, the pictures read from their files each time; between runs the Face is taken
//                    off again, untimed
//
// Usage: bench_appearance [runs, default 40]

#include "appearance/face.h"
#include "appearance/options.h"
#include "appearance/skinparts.h"
#include "common/dialogs.h"
#include "console/consolestate.h"
#include "console/mainform.h"
#include "settings/settingsstore.h"

#include "support/benchutil.h"

#include <QApplication>
#include <QPixmapCache>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using marvane::bench::Median;

using Clock = std::chrono::steady_clock;

class NoDialogs final : public marvane::Dialogs {
 public:
  marvane::MessageResult Message(const QString&, marvane::MessageButtons, marvane::MessageIcon,
                                 const QString&) override {
    return marvane::MessageResult::No;
  }
  std::optional<QString> OpenFile(const marvane::FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const marvane::FileDialogRequest&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;

  marvane::SettingsStore settings(home.filePath(QStringLiteral("Marvane.ini")));
  NoDialogs dialogs;
  marvane::ConsoleState state;
  marvane::ColorScheme colors;
  marvane::MainForm form;
  form.show();
  form.repaint();

  marvane::FaceTargets targets;
  targets.window = &form;
  for (int i = 0; i <= 7; ++i) targets.sliders[i] = form.Line(i).Slider;
  for (int i = 0; i < 7; ++i) targets.pans[i] = form.Line(i).Pan;
  targets.crossfader = form.MiniCrossfader1();
  targets.colorChange = [&] { form.ColorChange(colors); };
  targets.applyShowLines = [&](bool show) { form.ApplyShowLines(show); };
  marvane::FaceLoader faces(settings, colors, targets);

  marvane::OptionsValues values{&state.ASOF, &state.AutoReset, &state.RemainTime, &state.ToolTipsOn,
                                &state.HighPriority, &state.SpinUp, &state.NoRep, &state.FadeSeconds, &colors,
                                &state.FacePath, &state.BackPicOn, &state.Logging, &state.LogAll, &state.LogPath,
                                &state.LogFile};
  marvane::OptionsHooks hooks;
  hooks.colorChange = [&] { form.ColorChange(colors); };
  marvane::OptionsDialog options(settings, dialogs, values, hooks);
  options.Load();
  options.show();
  options.findChild<QRadioButton*>(QStringLiteral("Option3"))->click();
  QPushButton* swatches[2] = {options.findChild<QPushButton*>(QStringLiteral("ColorBox_40")),
                              options.findChild<QPushButton*>(QStringLiteral("ColorBox_38"))};

  std::vector<double> colorTimes;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    swatches[i % 2]->click();
    form.repaint();
    colorTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }

  std::vector<double> writeTimes;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    settings.WriteSetting(QStringLiteral("Back Color"), i % 2 ? 0x000000u : 0x800080u);
    writeTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }

  const QString sample = marvane::BundledFacesFolder() + QStringLiteral("Sample/");
  std::vector<double> faceTimes;
  for (int i = 0; i < runs; ++i) {
    faces.LoadFace(QString(), false);
    form.repaint();
    QPixmapCache::clear();  // each run reads the pictures from their files, as the first load does
    const auto start = Clock::now();
    faces.LoadFace(sample, true);
    form.repaint();
    faceTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }

  // The figures mean something only when the Face really dressed the window.
  if (marvane::WindowPicture(&form).isNull() || colors.BackColor == 0x000000u) {
    std::fprintf(stderr, "the Sample Face was not loaded from %s\n", qPrintable(sample));
    return 1;
  }
  std::printf("color_change_ms: %.3f ms\n", Median(colorTimes));
  std::printf("color_change_write_ms: %.3f ms\n", Median(writeTimes));
  std::printf("load_face_ms: %.3f ms\n", Median(faceTimes));
  return 0;
}
