#include "app/upgradeimport.h"

#include "common/appinfo.h"
#include "common/dialogs.h"
#include "settings/profilefile.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QList>
#include <utility>

namespace marvane {

namespace {

const QString kQuestion = QStringLiteral("MVN has detected that you are upgrading from version ") +
                          QStringLiteral("1.30. Do you want to import your settings?");
const QString kDone = QStringLiteral(
    "Your old settings have successfully been imported. I am sure you will be pleased with this upgrade. See help "
    "file for more details about new features in version 1.40");

// The keys taken over, in order, each with the value written when the old section lacks it.
QList<std::pair<QString, QString>> ImportedKeys() {
  const QString programFolder = DefaultDocumentsFolder();
  QList<std::pair<QString, QString>> list = {
      {keys::kBackColor, QStringLiteral("0")},
      {keys::kFadeSeconds, QStringLiteral("5")},
      {keys::kFadeSpeed, QStringLiteral("25")},
      {keys::kHiliteColor, QStringLiteral("255")},
      {keys::kLEDColor, QStringLiteral("65535")},
      {keys::kLineColor, QStringLiteral("4210752")},
      {keys::kListPath, programFolder},
      {keys::kNoRep, QStringLiteral("10")},
      {keys::kPath, programFolder},
      {keys::kPlayList, QString()},
      {keys::kPriority, QStringLiteral("300")},
      {keys::kRandom, QStringLiteral("True")},
      {keys::kRemain, QStringLiteral("True")},
      {keys::kSpinUp, QStringLiteral("5")},
      {keys::kStatHelp, QStringLiteral("1")},
      {keys::kTextColor, QStringLiteral("14737632")},
      {keys::kToolTips, QStringLiteral("True")},
  };
  // The per-line keys in one pass: Slider n, then Fade Mode n (up to 6), then File n (from 1).
  for (int n = 0; n <= 7; ++n) {
    list.append({keys::Slider(n), QStringLiteral("80")});
    if (n <= 6) list.append({keys::FadeMode(n), QStringLiteral("1")});
    if (n >= 1 && n <= 6) list.append({keys::File(n), QString()});
  }
  return list;
}

}  // namespace

void ImportOldSettings(SettingsStore& store, Dialogs& dialogs, const std::function<void()>& showProgressAgain) {
  store.WriteSetting(keys::kFirstRun, false);
  if (store.ReadSectionValue(kOldSettingsSection, keys::kPath).isEmpty()) return;

  if (dialogs.Message(kQuestion, MessageButtons::YesNo, MessageIcon::None, QStringLiteral("Upgrade")) !=
      MessageResult::Yes) {
    store.DeleteSection(kOldSettingsSection);
    return;
  }

  store.Edit([](ProfileFile& profile) {
    for (const auto& [key, fallback] : ImportedKeys()) {
      const QString old = profile.Value(kOldSettingsSection, key).value_or(QString());
      profile.SetValue(kSettingsSection, key, old.isEmpty() ? fallback : old);
    }
    profile.RemoveSection(kOldSettingsSection);
  });

  dialogs.Message(kDone, MessageButtons::Ok);
  if (showProgressAgain) showProgressAgain();
}

}  // namespace marvane
