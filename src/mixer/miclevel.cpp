#include "mixer/miclevel.h"

#include "appearance/accessiblecontrols.h"
#include "appearance/colorvalue.h"
#include "appearance/minislider.h"
#include "appearance/twips.h"
#include "common/colorscheme.h"
#include "common/vbconvert.h"
#include "mixer/stayontop.h"
#include "settings/settingsstore.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

namespace marvane {

namespace {

const QString kMicTop = QStringLiteral("Mic Top");
const QString kMicLeft = QStringLiteral("Mic Left");
const QString kMicOnTop = QStringLiteral("MicOnTop");

QString TwipsText(double twips) { return QString::number(static_cast<double>(static_cast<float>(twips)), 'g', 7); }

}  // namespace

MicLevel::MicLevel(SettingsStore& settings, const ColorScheme& colors, std::function<void(int)> onSliderChange,
                   QWidget* parent)
    : QWidget(parent, Qt::Tool),
      settings_(settings),
      colors_(colors),
      onSliderChange_(std::move(onSliderChange)),
      slider_(new MiniSlider(this)),
      check1_(new QCheckBox(QStringLiteral("On Top"), this)) {
  SetAccessibleRole(this, QAccessible::Window);
  setObjectName(QStringLiteral("MicLevel"));
  setWindowTitle(QStringLiteral("Mic"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(TwipsToPixels(QSize(kWidthTwips, kHeightTwips)));
  setAutoFillBackground(true);

  slider_->setObjectName(QStringLiteral("MicSlider"));
  slider_->setAccessibleName(QStringLiteral("Mic Volume"));
  slider_->move(TwipsToPixels(QPointF(kSliderLeft, kSliderTop)));
  check1_->setObjectName(QStringLiteral("Check1"));
  check1_->setAutoFillBackground(true);
  check1_->move(TwipsToPixels(QPointF(kSliderLeft / 2, kCheckTop)));

  connect(slider_, &MiniSlider::Scroll, this, [this](int value) { onSliderChange_(value); });
  connect(check1_, &QCheckBox::toggled, this, &MicLevel::Check1Click);
}

QPointF MicLevel::CentredPosition() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenTwips = screen != nullptr ? PixelsToTwips(screen->geometry().size()) : QSize();
  return {(screenTwips.width() - kWidthTwips) / 2.0, (screenTwips.height() - kHeightTwips) / 2.0};
}

void MicLevel::Load(int level) {
  const QPointF centred = CentredPosition();
  const double top = LeadingNumber(settings_.ReadSetting(kMicTop, TwipsText(centred.y())));
  const double left = LeadingNumber(settings_.ReadSetting(kMicLeft, TwipsText(centred.x())));
  // A stored position off the current screen is kept as it is.
  move(TwipsToPixels(QPointF(left, top)));

  slider_->SetValue(level);

  // A stored text that is no Boolean leaves the band and the box as they are.
  if (const std::optional<bool> onTop = ParseBoolean(settings_.ReadSetting(kMicOnTop, BooleanText(true)))) {
    {
      const QSignalBlocker blocker(check1_);
      check1_->setChecked(*onTop);
    }
    // Setting the box counts as its click, which stores the same value again.
    Check1Click(*onTop);
  }
  Colors();
}

void MicLevel::Check1Click(bool checked) {
  settings_.WriteSetting(kMicOnTop, BooleanText(checked));
  StayOnTop(this, checked);
}

void MicLevel::Colors() {
  QPalette windowPalette = palette();
  windowPalette.setColor(QPalette::Window, ColorFromValue(colors_.BackColor));
  setPalette(windowPalette);

  QPalette checkPalette = check1_->palette();
  checkPalette.setColor(QPalette::Window, ColorFromValue(colors_.BackColor));
  checkPalette.setColor(QPalette::WindowText, ColorFromValue(colors_.TextColor));
  checkPalette.setColor(QPalette::ButtonText, ColorFromValue(colors_.TextColor));
  check1_->setPalette(checkPalette);
}

void MicLevel::SavePosition(SettingsStore& settings, const QPointF& leftTop) {
  settings.WriteSetting(kMicTop, TwipsText(leftTop.y()));
  settings.WriteSetting(kMicLeft, TwipsText(leftTop.x()));
}

void MicLevel::closeEvent(QCloseEvent* event) {
  // The window leaves the topmost band by going away; changing the band here would show it again.
  SavePosition(settings_, PixelsToTwips(QPointF(pos())));
  Q_EMIT Unloading();
  event->accept();
}

}  // namespace marvane
