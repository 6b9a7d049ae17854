// Faces: the colour conversions, the pictures' order of precedence, LoadFace on the real skinnable controls, the
// scheme writer and the seeding of the user's Face folder.

#include "appearance/face.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/skinparts.h"
#include "settings/settingkeys.h"
#include "support/fixture.h"

#include <QDir>
#include <QImage>

namespace marvane::test {
namespace {

TEST(FaceColors, HexToColorAndBackKeepRedFirstAndReadLowerCase) {
  EXPECT_EQ(HexToColor(QStringLiteral("FF8000")), QStringLiteral("&H0080FF"));
  EXPECT_EQ(ParseColorNumber(HexToColor(QStringLiteral("FF8000"))), 0x0080FFu);
  EXPECT_EQ(ParseColorNumber(HexToColor(QStringLiteral("ff0000"))), 255u);
  for (const QString& odd : {QString(), QStringLiteral("F00"), QStringLiteral("FF80001")})
    EXPECT_EQ(ParseColorNumber(HexToColor(odd)), 0u) << odd.toStdString();
  EXPECT_EQ(ParseColorNumber(HexToColor(QStringLiteral("GGHHII"))), std::nullopt);
  EXPECT_EQ(ColorToHex(0x0080FF), QStringLiteral("FF8000"));
  EXPECT_EQ(ColorToHex(0), QStringLiteral("000000"));
}

// A main window of the console's size with the controls a Face dresses.
struct Dressed {
  QWidget window;
  std::vector<std::unique_ptr<QWidget>> owned;
  FaceTargets targets;
  int colorChanges = 0;
  std::optional<bool> lines;

  Dressed() {
    window.resize(608, 464);
    for (int i = 0; i < 8; ++i) targets.sliders[i] = new MiniSlider(&window);
    for (int i = 0; i < 7; ++i) targets.pans[i] = new Pan(&window);
    targets.crossfader = new MiniCrossfader(&window);
    targets.window = &window;
    targets.colorChange = [this] { ++colorChanges; };
    targets.applyShowLines = [this](bool show) { lines = show; };
  }
};

class FaceTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  TempSettings settings_;
  ColorScheme colors_;
  Dressed dressed_;
  FaceLoader loader_{settings_, colors_, dressed_.targets};
  QString face_ = dir_.path() + QStringLiteral("/Face/");

  void Picture(const QString& name, QSize size, const char* format) {
    QDir().mkpath(face_);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    ASSERT_TRUE(image.save(face_ + name, format));
  }
  void Scheme(const QByteArray& text) {
    QDir().mkpath(face_);
    WriteBytes(face_ + QStringLiteral("colors.txt"), text);
  }
};

TEST_F(FaceTest, PicturesFollowTheirOrderAndOneSliderKnobDressesAllEight) {
  Picture(QStringLiteral("backpic.jpg"), {100, 50}, "JPG");
  Picture(QStringLiteral("backpic.bmp"), {120, 60}, "BMP");
  // Qt writes no GIF: a 1 by 1 pixel one, byte by byte.
  WriteBytes(face_ + QStringLiteral("slider.gif"), QByteArray::fromHex("47494638396101000100800000000000ffffff21f904"
                                                                        "01000000002c00000000010001000002024401003b"));
  EXPECT_EQ(FindFacePicture(face_, QStringLiteral("backpic")), face_ + QStringLiteral("backpic.bmp"));
  loader_.LoadFace(face_, true);
  EXPECT_EQ(WindowPicture(&dressed_.window).size(), QSize(120, 60));
  for (MiniSlider* slider : dressed_.targets.sliders) EXPECT_EQ(slider->KnobPicture().size(), QSize(1, 1));
  for (Pan* pan : dressed_.targets.pans) EXPECT_TRUE(pan->IsTransparent());
  EXPECT_EQ(dressed_.targets.crossfader->KnobPicture().size(), BuiltInFaderKnob().size());
  // No Face: the pictures go, the knobs are the built-in ones again, the pans opaque.
  loader_.LoadFace(face_, false);
  EXPECT_TRUE(WindowPicture(&dressed_.window).isNull());
  EXPECT_EQ(dressed_.targets.sliders[3]->KnobPicture().size(), BuiltInSliderKnob().size());
  EXPECT_FALSE(dressed_.targets.pans[0]->IsTransparent());
}

TEST_F(FaceTest, ASchemeGivesItsColoursAndWithoutLinesSectionHidesTheLines) {
  Scheme("[colors]\ntext=ff0000\nLED=F00\nLines=GGGGGG\nBackGround=000080\nHiLite=00FF00\n");
  colors_.LineColor = 0x123456;
  loader_.LoadFace(face_, true);
  EXPECT_EQ(colors_.TextColor, 255u);          // lower case is read
  EXPECT_EQ(colors_.LEDColor, 0u);             // too short: black
  EXPECT_EQ(colors_.LineColor, 0x123456u);     // not hexadecimal: unchanged
  EXPECT_EQ(colors_.BackColor, 0x800000u);
  EXPECT_EQ(colors_.HiliteColor, 0x00FF00u);
  EXPECT_EQ(dressed_.lines, false);
  EXPECT_EQ(dressed_.colorChanges, 1);
  EXPECT_TRUE(WindowPicture(&dressed_.window).isNull());
  EXPECT_FALSE(dressed_.targets.pans[0]->IsTransparent());  // no background: pans left as they were
}

TEST_F(FaceTest, WithoutSchemeTheLedDefaultIsCyanAndWithoutFaceYellow) {
  QDir().mkpath(face_);
  loader_.LoadFace(face_, true);
  EXPECT_EQ(colors_.LEDColor, 16776960u);
  EXPECT_EQ(dressed_.lines, true);
  loader_.LoadFace(face_, false);
  EXPECT_EQ(colors_.LEDColor, 65535u);
  colors_.LEDColor = 1;
  loader_.LoadFace(QString(), true);  // an empty path is no Face
  EXPECT_EQ(colors_.LEDColor, 65535u);
  EXPECT_EQ(settings_.Get(keys::kLEDColor), QString());  // a Face never writes the settings
}

TEST_F(FaceTest, TheWriterWritesRedFirstKeepingOtherKeys) {
  Scheme("; my face\n[Colors]\nText=000000\nMine=1\n[Other]\nA=B\n");
  ColorScheme colors;
  colors.HiliteColor = 255;
  colors.LEDColor = 0xFFFFFFFFu;  // a stored -1
  EXPECT_EQ(WriteColorScheme(face_, colors, false), face_ + QStringLiteral("colors.txt"));
  const ProfileFile file = ProfileFile::Load(face_ + QStringLiteral("colors.txt"));
  for (const auto& [section, key, value] :
       {std::tuple{"Colors", "HiLite", "FF0000"}, {"Colors", "LED", "FFFFFF"}, {"Colors", "Text", "E0E0E0"},
        {"Colors", "Lines", "404040"}, {"Lines", "Visible", "False"}, {"Colors", "Mine", "1"}, {"Other", "A", "B"}})
    EXPECT_EQ(file.Value(QLatin1String(section), QLatin1String(key)), QLatin1String(value)) << key;
}

TEST_F(FaceTest, TheBundledFacesSeedAMissingFolderOnlyOnce) {
  const QString user = dir_.path() + QStringLiteral("/user/Faces/");
  SeedFaces(BundledFacesFolder(), user);
  const QStringList names = FaceNames(user);
  EXPECT_TRUE(names.contains(QStringLiteral("Sample")) && names.contains(QStringLiteral("Amber")))
      << names.join(QLatin1Char(',')).toStdString();
  EXPECT_FALSE(FindFacePicture(user + QStringLiteral("Sample/"), QStringLiteral("backpic")).isEmpty());
  EXPECT_EQ(QDir(user).entryList(QDir::Files), QStringList());  // only Face folders are copied
  QDir(user + QStringLiteral("Amber")).removeRecursively();
  SeedFaces(BundledFacesFolder(), user);  // the folder exists: the user's choice stands
  EXPECT_FALSE(FaceNames(user).contains(QStringLiteral("Amber")));
}

}  // namespace
}  // namespace marvane::test
