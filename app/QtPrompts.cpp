#include "QtPrompts.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include "UserPrompts.h"

namespace azuz {

namespace {

QWidget* Parent() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr ? modal : QApplication::activeWindow();
}

std::string ChooseFile(QFileDialog::AcceptMode mode, const std::string& filter,
                       const std::string& defaultExtension, const std::string& initialName) {
  QFileDialog dialog(Parent());
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                     : QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFiltersFrom(filter));
  dialog.setDefaultSuffix(SuffixFrom(defaultExtension));
  if (!initialName.empty()) {
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(initialName)));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace

QStringList NameFiltersFrom(const std::string& filter) {
  const QStringList parts = QString::fromLocal8Bit(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype n = 0; n + 1 < parts.size(); n += 2) {
    const QString& name = parts[n];
    if (name.isEmpty()) {
      break;
    }
    QString patterns = parts[n + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString suffix = QLatin1Char('(') + parts[n + 1] + QLatin1Char(')');
    // Qt reads the patterns from the parentheses at the end of the display text.
    filters << (name.endsWith(suffix) && !parts[n + 1].contains(QLatin1Char(';'))
                    ? name
                    : name + QStringLiteral(" (") + patterns + QLatin1Char(')'));
  }
  return filters;
}

QString SuffixFrom(const std::string& defaultExtension) {
  QString suffix = QString::fromLocal8Bit(defaultExtension);
  while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.'))) {
    suffix.remove(0, 1);
  }
  return suffix;
}

void InstallQtPrompts() {
  UserPrompts& prompts = Prompts();
  prompts.ShowMessage = [](const std::string& text, const std::string& detail) {
    // A transfer's worker reports its failure too. The box is shown by the window thread and
    // the worker does not wait for it: the window thread may itself be waiting for the worker.
    if (QThread::currentThread() != qApp->thread()) {
      QMetaObject::invokeMethod(
          qApp, [text, detail] { Prompts().ShowMessage(text, detail); }, Qt::QueuedConnection);
      return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kMessageBoxCaption),
                    QString::fromLocal8Bit(text), QMessageBox::Ok, Parent());
    if (!detail.empty()) {
      box.setDetailedText(QString::fromLocal8Bit(detail));
    }
    box.exec();
  };
  prompts.AskYesNo = [](const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLocal8Bit(caption),
                    QString::fromLocal8Bit(text), QMessageBox::Yes | QMessageBox::No, Parent());
    return box.exec() == QMessageBox::Yes;
  };
  prompts.ChooseFileToOpen = [](const std::string& filter, const std::string& extension,
                                const std::string& initialName) {
    return ChooseFile(QFileDialog::AcceptOpen, filter, extension, initialName);
  };
  prompts.ChooseFileToSave = [](const std::string& filter, const std::string& extension,
                                const std::string& initialName) {
    return ChooseFile(QFileDialog::AcceptSave, filter, extension, initialName);
  };
}

}  // namespace azuz
