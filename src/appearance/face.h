#pragma once
// Faces: folders of pictures and a colour scheme that dress the main window. A Face folder may hold a background
// picture ("backpic"), a knob for the eight volume sliders ("slider") and one for the crossfader ("fader"), each
// looked for as ".bmp", then ".jpg", then ".gif" (the first that exists wins), and a colour scheme "colors.txt":
// a profile file with section "Colors" (keys "Text", "LED", "Lines", "BackGround", "HiLite", each RRGGBB, red
// first) and section "Lines" (key "Visible", "True" or "False").
//
// The user's Faces live in Faces/ of the per-user data folder, seeded on first start from the Faces installed
// with the program. A Face path always ends with "/".
//
// UI thread only.

#include "common/colorscheme.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class QWidget;

namespace marvane {

class MiniCrossfader;
class MiniSlider;
class Pan;
class SettingsStore;

// RRGGBB to the hexadecimal colour notation "&HBBGGRR"; any text not exactly six characters long gives "0".
QString HexToColor(const QString& rrggbb);
// A colour value (red in the low byte) to RRGGBB, upper case; values wider than six digits are cut the same
// way, so -1 gives "FFFFFF".
QString ColorToHex(qint64 color);
// The number parser for HexToColor's result: "&H" followed by hexadecimal digits in either case, or a decimal
// whole number. Nothing for text that is neither.
std::optional<quint32> ParseColorNumber(const QString& text);

// The full path of the first of name.bmp, name.jpg, name.gif that exists in facePath, or "" for none.
QString FindFacePicture(const QString& facePath, const QString& name);

// The user's Face folder (data folder + "Faces/") and the Faces installed with the program.
QString UserFacesFolder();
QString BundledFacesFolder();
// Copies every bundled Face into the user's Face folder when that folder does not exist yet (the first start).
void SeedFaces(const QString& bundled = BundledFacesFolder(), const QString& user = UserFacesFolder());
// The names of the Face folders, sorted by name.
QStringList FaceNames(const QString& facesFolder = UserFacesFolder());

// What a Face dresses: the main window (it carries the background picture), its eight sliders (the master at
// index 7), seven pan knobs and the crossfader; and the window's colour change and dividing-line switch.
struct FaceTargets {
  QWidget* window = nullptr;
  std::array<MiniSlider*, 8> sliders{};
  std::array<Pan*, 7> pans{};
  MiniCrossfader* crossfader = nullptr;
  std::function<void()> colorChange;
  std::function<void(bool show)> applyShowLines;
};

class FaceLoader {
 public:
  FaceLoader(SettingsStore& settings, ColorScheme& colors, FaceTargets targets);

  // Applies the Face at facePath when useFace is true and facePath is not empty; otherwise removes every Face
  // picture and takes the colours and the dividing lines back from the settings. Never writes a setting.
  void LoadFace(const QString& facePath, bool useFace);

 private:
  void NoFace();
  void ReadColorSettings(const QString& ledDefault);
  bool ReadShowLinesSetting();

  SettingsStore& settings_;
  ColorScheme& colors_;
  FaceTargets targets_;
};

// The scheme writer behind "Save Colors": writes the colours (RRGGBB) and the dividing-line switch into
// facePath + "colors.txt" in one atomic write; keys already present are replaced, other keys and sections stay.
// Returns the file's path, or nothing when it could not be written.
std::optional<QString> WriteColorScheme(const QString& facePath, const ColorScheme& colors, bool linesVisible);

}  // namespace marvane
