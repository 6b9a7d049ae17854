#include "common/appinfo.h"
#include "common/qtdialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace marvane {
namespace {

TEST(Dialogs, ProgramFiltersBecomeQtFilters) {
  EXPECT_EQ(QtFilterFromProgramFilter(QStringLiteral("Sound Files|*.wav;*.mp3;*.mid|All Files|*.*")),
            QStringLiteral("Sound Files (*.wav *.mp3 *.mid);;All Files (*)"));
  EXPECT_EQ(QtFilterFromProgramFilter(QStringLiteral("Playlists|*.m3u")), QStringLiteral("Playlists (*.m3u)"));
  EXPECT_EQ(QtFilterFromProgramFilter(QString()), QString());
}

// Presses the given button of the next message box that opens, and records what it showed.
struct BoxAnswerer {
  QMessageBox::StandardButton press;
  QString seenTitle;
  QString seenText;
  QStringList seenButtons;

  void Arm() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seenTitle = box->windowTitle();
      seenText = box->text();
      for (QAbstractButton* b : box->buttons()) seenButtons << b->text();
      box->button(press)->click();
    });
  }
};

TEST(Dialogs, RealMessageBoxShowsTheTextAndReturnsTheButtonPressed) {
  QtDialogs real;
  Dialogs& dialogs = real;
  BoxAnswerer no{QMessageBox::No, {}, {}, {}};
  no.Arm();
  EXPECT_EQ(dialogs.Message(QStringLiteral("Are you sure?"), MessageButtons::YesNo, MessageIcon::Question),
            MessageResult::No);
  EXPECT_EQ(no.seenTitle, kAppTitle);  // no title of its own: the application's
  EXPECT_TRUE(no.seenText == QStringLiteral("Are you sure?") && no.seenButtons.size() == 2);

  BoxAnswerer yes{QMessageBox::Yes, {}, {}, {}};
  yes.Arm();
  EXPECT_EQ(dialogs.Message(QStringLiteral("Import?"), MessageButtons::YesNo, MessageIcon::None,
                            QStringLiteral("Upgrade")),
            MessageResult::Yes);
  EXPECT_EQ(yes.seenTitle, QStringLiteral("Upgrade"));
}

}  // namespace
}  // namespace marvane
