#pragma once

#include <QDBusAbstractAdaptor>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

namespace azuz {

class CMainFrame;

// The designer's name on the session bus and its object, serving the shell's
// org.freedesktop.Application calls so that a design opened from the file manager goes into
// the window already running.
inline constexpr char kSessionServiceName[] = "org.vurodadud.Azuz";
inline constexpr char kSessionObjectPath[] = "/org/vurodadud/Azuz";
inline constexpr char kApplicationInterface[] = "org.freedesktop.Application";

class SessionService : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    Claimed,  // this process now answers for the session
    Taken,    // another designer holds the name
    NoBus,    // no session bus: the designer simply starts
  };

  SessionService();
  ~SessionService() override;

  // Takes the name on the session bus.
  Claim ClaimName();
  // The window the calls go to, once it exists; calls before that wait in the event queue.
  void Serve(CMainFrame* frame);

  // Asks the designer holding the name to open `path` (or, when empty, just to come to the
  // front); true when it accepted.
  static bool HandToRunningDesigner(const QString& path);

  // The calls, deferred so that the caller's reply never waits for a message box.
  void Activate();
  void Open(const QStringList& uris);

 private:
  QPointer<CMainFrame> frame_;
  bool registered_ = false;
};

// org.freedesktop.Application on the service's object.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

 public:
  explicit ApplicationAdaptor(SessionService* service);

 public slots:
  void Activate(const QVariantMap& platformData);
  void Open(const QStringList& uris, const QVariantMap& platformData);
  void ActivateAction(const QString& name, const QVariantList& parameter,
                      const QVariantMap& platformData);

 private:
  SessionService* service_;
};

}  // namespace azuz
