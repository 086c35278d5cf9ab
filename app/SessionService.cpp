#include "SessionService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include "CMainFrame.h"

namespace azuz {

namespace {

// Long enough for a busy designer to answer, short enough that a second start never lingers.
constexpr int kCallTimeoutMs = 800;

QString LocalPathOf(const QString& uri) {
  const QUrl url(uri);
  if (url.isLocalFile()) {
    return url.toLocalFile();
  }
  // A plain path from a caller that did not make a URI of it.
  return url.scheme().isEmpty() ? uri : QString();
}

}  // namespace

SessionService::SessionService() = default;

SessionService::~SessionService() {
  if (registered_) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QString::fromLatin1(kSessionObjectPath));
    bus.unregisterService(QString::fromLatin1(kSessionServiceName));
  }
}

SessionService::Claim SessionService::ClaimName() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return Claim::NoBus;
  }
  new ApplicationAdaptor(this);
  if (!bus.registerObject(QString::fromLatin1(kSessionObjectPath), this)) {
    return Claim::NoBus;
  }
  if (!bus.registerService(QString::fromLatin1(kSessionServiceName))) {
    bus.unregisterObject(QString::fromLatin1(kSessionObjectPath));
    return Claim::Taken;
  }
  registered_ = true;
  return Claim::Claimed;
}

void SessionService::Serve(CMainFrame* frame) {
  frame_ = frame;
}

bool SessionService::HandToRunningDesigner(const QString& path) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return false;
  }
  QDBusMessage call;
  if (path.isEmpty()) {
    call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kSessionServiceName), QString::fromLatin1(kSessionObjectPath),
        QString::fromLatin1(kApplicationInterface), QStringLiteral("Activate"));
    call << QVariantMap();
  } else {
    // The running designer has its own working folder: it gets the whole path.
    call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kSessionServiceName), QString::fromLatin1(kSessionObjectPath),
        QString::fromLatin1(kApplicationInterface), QStringLiteral("Open"));
    const QString uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
    call << QStringList{uri} << QVariantMap();
  }
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

void SessionService::Activate() {
  QTimer::singleShot(0, this, [this] {
    if (frame_) {
      frame_->BringToFront();
    }
  });
}

void SessionService::Open(const QStringList& uris) {
  // One document: the first file that is local counts, as with a drop.
  QString path;
  for (const QString& uri : uris) {
    path = LocalPathOf(uri);
    if (!path.isEmpty()) {
      break;
    }
  }
  QTimer::singleShot(0, this, [this, path] {
    if (!frame_) {
      return;
    }
    frame_->BringToFront();
    if (!path.isEmpty()) {
      frame_->OpenFromShell(path);
    }
  });
}

ApplicationAdaptor::ApplicationAdaptor(SessionService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

void ApplicationAdaptor::Activate(const QVariantMap& /*platformData*/) {
  service_->Activate();
}

void ApplicationAdaptor::Open(const QStringList& uris, const QVariantMap& /*platformData*/) {
  service_->Open(uris);
}

void ApplicationAdaptor::ActivateAction(const QString& /*name*/, const QVariantList& /*parameter*/,
                                        const QVariantMap& /*platformData*/) {
  // The designer offers no actions of its own; the call still raises the window.
  service_->Activate();
}

}  // namespace azuz
