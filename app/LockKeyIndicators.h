#pragma once

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

namespace azuz {

// The Caps Lock, Num Lock and Scroll Lock panes of the status bar. The lock states are read
// from the keyboards' LEDs under /sys/class/leds (any keyboard lit counts), which works on every
// display server and on none.
class LockKeyIndicators {
 public:
  enum Lock { kCaps, kNum, kScroll };

  explicit LockKeyIndicators(QString ledsDir = QStringLiteral("/sys/class/leds"));

  // Adds the three panes, in order, at the right of the status bar.
  void AddTo(QStatusBar& bar);
  // Reads the LEDs again and shows "CAP", "NUM", "SCRL" for the locks that are on.
  void Refresh();
  bool IsOn(Lock lock) const;
  QLabel* Pane(Lock lock) const { return panes_[lock]; }

 private:
  QString ledsDir_;
  std::array<QLabel*, 3> panes_{};
};

}  // namespace azuz
