#include "RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace azuz {

namespace {

const QString kGroup = QStringLiteral("Recent File List");
QString EntryKey(int n) {
  return QStringLiteral("File%1").arg(n);
}

}  // namespace

RecentFileList::RecentFileList(int size) : size_(size) {}

void RecentFileList::Load() {
  QSettings settings;
  settings.beginGroup(kGroup);
  files_.clear();
  for (int n = 1; n <= size_; ++n) {
    const QString path = settings.value(EntryKey(n)).toString();
    if (!path.isEmpty() && !files_.contains(path)) {
      files_.append(path);
    }
  }
}

void RecentFileList::Add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  files_.removeAll(absolute);
  files_.prepend(absolute);
  while (files_.size() > size_) {
    files_.removeLast();
  }
  Save();
}

void RecentFileList::Remove(const QString& path) {
  if (files_.removeAll(path) > 0) {
    Save();
  }
}

void RecentFileList::Save() const {
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.remove(QString());
  for (int n = 0; n < files_.size(); ++n) {
    settings.setValue(EntryKey(n + 1), files_[n]);
  }
}

}  // namespace azuz
