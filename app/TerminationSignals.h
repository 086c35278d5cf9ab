#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace azuz {

// SIGINT, SIGTERM and SIGHUP end the designer as quitting does, instead of killing it mid-way:
// every event loop is left, so a transfer window under way cancels and its worker gives parked
// spooler queues back before the program ends. The handler only writes the signal's number to a
// pipe; the window's thread reads it through a socket notifier.
class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  TerminationSignals();
  // Puts the previous dispositions back.
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // The last signal taken, 0 before any; the program's exit code is 128 plus it.
  int Taken() const { return taken_; }

 signals:
  void signalled(int signal);

 private:
  void OnReadable();

  int taken_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace azuz
