#pragma once

#include <QString>
#include <QStringList>

namespace azuz {

// The most recently used designs, newest first, kept in the application's settings (group
// "Recent File List", entries File1..FileN) so that they survive the run.
class RecentFileList {
 public:
  static constexpr int kDefaultSize = 4;

  explicit RecentFileList(int size = kDefaultSize);

  void Load();
  // Moves the path to the front (adding it when new), drops the oldest beyond the size, saves.
  void Add(const QString& path);
  void Remove(const QString& path);
  const QStringList& Files() const { return files_; }
  int Size() const { return size_; }

 private:
  int size_;
  QStringList files_;
  void Save() const;
};

}  // namespace azuz
