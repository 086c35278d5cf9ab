#include "LockKeyIndicators.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>

#include "CommandIds.h"
#include "ControlIds.h"

namespace azuz {

namespace {

struct LockInfo {
  const char* ledSuffix;
  const char* text;
  int id;
};
constexpr std::array<LockInfo, 3> kLocks{{
    {"::capslock", "CAP", ID_INDICATOR_CAPS},
    {"::numlock", "NUM", ID_INDICATOR_NUM},
    {"::scrolllock", "SCRL", ID_INDICATOR_SCRL},
}};

}  // namespace

LockKeyIndicators::LockKeyIndicators(QString ledsDir) : ledsDir_(std::move(ledsDir)) {}

void LockKeyIndicators::AddTo(QStatusBar& bar) {
  for (std::size_t n = 0; n < kLocks.size(); ++n) {
    auto* pane = new QLabel(&bar);
    pane->setObjectName(ControlName(kLocks[n].id));
    pane->setAlignment(Qt::AlignCenter);
    // As wide as its text, so the bar does not jump when a lock changes.
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QLatin1String("SCRL")) + 8);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar.addPermanentWidget(pane);
    panes_[n] = pane;
  }
  Refresh();
}

bool LockKeyIndicators::IsOn(Lock lock) const {
  const QString suffix = QLatin1String(kLocks[lock].ledSuffix);
  const QDir dir(ledsDir_);
  for (const QString& led : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
    if (!led.endsWith(suffix)) {
      continue;
    }
    QFile brightness(dir.filePath(led + QStringLiteral("/brightness")));
    if (brightness.open(QIODevice::ReadOnly) && brightness.read(16).trimmed().toInt() > 0) {
      return true;
    }
  }
  return false;
}

void LockKeyIndicators::Refresh() {
  for (std::size_t n = 0; n < kLocks.size(); ++n) {
    if (panes_[n] != nullptr) {
      panes_[n]->setText(IsOn(static_cast<Lock>(n)) ? QLatin1String(kLocks[n].text) : QString());
    }
  }
}

}  // namespace azuz
