#include "appearance/face.h"

#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/skinparts.h"
#include "appearance/twips.h"
#include "common/appinfo.h"
#include "common/vbconvert.h"
#include "settings/inivalue.h"
#include "settings/profilefile.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>

namespace marvane {

namespace {

const QString kColorsFile = QStringLiteral("colors.txt");
const QString kColors = QStringLiteral("Colors");
const QString kLines = QStringLiteral("Lines");

// The crossfader's place on the main window in twips: its background copy lines up with the window from there.
constexpr int kCrossfaderLeft = 3060;
constexpr int kCrossfaderTop = 5460;

bool CopyFolder(const QString& from, const QString& to) {
  if (!QDir().mkpath(to)) return false;
  const QDir source(from);
  bool ok = true;
  for (const QFileInfo& entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString target = to + QLatin1Char('/') + entry.fileName();
    ok = (entry.isDir() ? CopyFolder(entry.filePath(), target) : QFile::copy(entry.filePath(), target)) && ok;
    if (!entry.isDir()) QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
  }
  return ok;
}

}  // namespace

QString HexToColor(const QString& rrggbb) {
  if (rrggbb.size() != 6) return QStringLiteral("0");
  return QStringLiteral("&H") + rrggbb.mid(4, 2) + rrggbb.mid(2, 2) + rrggbb.mid(0, 2);
}

QString ColorToHex(qint64 color) {
  // The 32-bit value's hexadecimal text without leading zeros (a negative value as eight digits).
  QString hex = QString::number(static_cast<quint32>(static_cast<qint32>(color)), 16).toUpper();
  if (hex.startsWith(QLatin1Char('&'))) hex = hex.mid(2);
  hex = hex.rightJustified(6, QLatin1Char('0'));
  return hex.right(2) + hex.mid(2, 2) + hex.left(2);
}

std::optional<quint32> ParseColorNumber(const QString& text) {
  bool ok = false;
  if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
    const quint32 value = text.mid(2).toUInt(&ok, 16);
    if (ok && text.size() > 2) return value;
    return std::nullopt;
  }
  const qint64 value = text.trimmed().toLongLong(&ok, 10);
  if (!ok) return std::nullopt;
  return static_cast<quint32>(value);
}

QString FindFacePicture(const QString& facePath, const QString& name) {
  for (const char* extension : {".bmp", ".jpg", ".gif"}) {
    const QString path = facePath + name + QLatin1String(extension);
    if (QFileInfo(path).isFile()) return path;
  }
  return QString();
}

QString UserFacesFolder() { return DataFolder() + QStringLiteral("Faces/"); }
QString BundledFacesFolder() { return ProgramFolder() + QStringLiteral("Faces/"); }

void SeedFaces(const QString& bundled, const QString& user) {
  if (QFileInfo::exists(user) || !QFileInfo(bundled).isDir()) return;
  QDir().mkpath(user);
  // Only the Face folders: the notes and the picture script beside them stay with the program.
  for (const QString& face : FaceNames(bundled)) CopyFolder(bundled + face, user + face);
}

QStringList FaceNames(const QString& facesFolder) {
  return QDir(facesFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

FaceLoader::FaceLoader(SettingsStore& settings, ColorScheme& colors, FaceTargets targets)
    : settings_(settings), colors_(colors), targets_(std::move(targets)) {}

void FaceLoader::ReadColorSettings(const QString& ledDefault) {
  // A value that is not a number leaves its colour as it was.
  auto read = [this](const QString& key, const QString& def, quint32& target) {
    if (const auto value = settings_.ReadInt32(key, def)) target = static_cast<quint32>(*value);
  };
  read(keys::kTextColor, keys::defaults::kTextColor, colors_.TextColor);
  read(keys::kLEDColor, ledDefault, colors_.LEDColor);
  read(keys::kLineColor, keys::defaults::kLineColor, colors_.LineColor);
  read(keys::kBackColor, keys::defaults::kBackColor, colors_.BackColor);
  read(keys::kHiliteColor, keys::defaults::kHiliteColor, colors_.HiliteColor);
}

bool FaceLoader::ReadShowLinesSetting() {
  return settings_.ReadBool(keys::kShowLines, keys::defaults::kTrue).value_or(false);
}

void FaceLoader::NoFace() {
  if (targets_.window) {
    SetWindowPicture(targets_.window, QPixmap());
    targets_.window->update();
  }
  if (targets_.crossfader) {
    targets_.crossfader->GetPic(0, 0);
    targets_.crossfader->SetCap(QString());
  }
  for (int i = 0; i <= 7; ++i) {
    if (i < 7 && targets_.pans[i]) targets_.pans[i]->MakeTrans(false);
    if (MiniSlider* slider = targets_.sliders[i]) {
      slider->GetPic();
      slider->SetCap(QString());
    }
  }
  ReadColorSettings(keys::defaults::kLEDColor);
  if (targets_.colorChange) targets_.colorChange();
  if (targets_.applyShowLines) targets_.applyShowLines(ReadShowLinesSetting());
}

void FaceLoader::LoadFace(const QString& facePath, bool useFace) {
  if (facePath.isEmpty() || !useFace) {
    NoFace();
    return;
  }
  // The background picture; a file that cannot be read as a picture counts as none.
  QPixmap background;
  if (const QString file = FindFacePicture(facePath, QStringLiteral("backpic")); !file.isEmpty())
    background.load(file);
  const bool hasBackground = !background.isNull();
  if (targets_.window) {
    SetWindowPicture(targets_.window, background);
    targets_.window->update();
  }
  if (targets_.crossfader) targets_.crossfader->GetPic(kCrossfaderLeft, kCrossfaderTop);

  const QString sliderKnob = FindFacePicture(facePath, QStringLiteral("slider"));
  for (int i = 0; i <= 7; ++i) {
    if (hasBackground && i < 7 && targets_.pans[i]) targets_.pans[i]->MakeTrans(true);
    if (MiniSlider* slider = targets_.sliders[i]) {
      slider->GetPic();
      slider->SetCap(sliderKnob);
    }
  }
  if (targets_.crossfader) targets_.crossfader->SetCap(FindFacePicture(facePath, QStringLiteral("fader")));

  const QString scheme = facePath + kColorsFile;
  if (QFileInfo(scheme).isFile()) {
    // Six characters that are not hexadecimal digits leave that colour as it was.
    auto read = [&](const char* key, quint32& target) {
      const QString hex = ReadIniValue(kColors, QLatin1String(key), scheme);
      if (const auto value = ParseColorNumber(HexToColor(hex))) target = *value;
    };
    read("Text", colors_.TextColor);
    read("LED", colors_.LEDColor);
    read("Lines", colors_.LineColor);
    read("BackGround", colors_.BackColor);
    read("HiLite", colors_.HiliteColor);
    if (targets_.colorChange) targets_.colorChange();
    // A missing or unreadable value hides the lines.
    const bool visible =
        ParseBoolean(ReadIniValue(kLines, QStringLiteral("Visible"), scheme)).value_or(false);
    if (targets_.applyShowLines) targets_.applyShowLines(visible);
  } else {
    // Without a scheme the colours come from the settings; here the time displays default to cyan.
    ReadColorSettings(QStringLiteral("16776960"));
    if (targets_.applyShowLines) targets_.applyShowLines(ReadShowLinesSetting());
    if (targets_.colorChange) targets_.colorChange();
  }
}

std::optional<QString> WriteColorScheme(const QString& facePath, const ColorScheme& colors, bool linesVisible) {
  const QString path = facePath + kColorsFile;
  ProfileFile file = ProfileFile::Load(path);
  file.SetValue(kColors, QStringLiteral("Text"), ColorToHex(static_cast<qint32>(colors.TextColor)));
  file.SetValue(kColors, QStringLiteral("BackGround"), ColorToHex(static_cast<qint32>(colors.BackColor)));
  file.SetValue(kColors, QStringLiteral("LED"), ColorToHex(static_cast<qint32>(colors.LEDColor)));
  file.SetValue(kColors, QStringLiteral("HiLite"), ColorToHex(static_cast<qint32>(colors.HiliteColor)));
  file.SetValue(kColors, QStringLiteral("Lines"), ColorToHex(static_cast<qint32>(colors.LineColor)));
  file.SetValue(kLines, QStringLiteral("Visible"), BooleanText(linesVisible));
  if (!file.Save(path)) return std::nullopt;
  return path;
}

}  // namespace marvane
