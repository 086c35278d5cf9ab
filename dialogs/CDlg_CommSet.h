#pragma once

#include <QDialog>
#include <cstdint>
#include <map>

#include "CommSetForm.h"
#include "CommSettings.h"
#include "CommunicationTestRun.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace azuz {

class IpAddressEdit;

// How the printer is reached: a port with its settings, or a spooler printer of a supported
// model, with a test print over the choice. The caller fills the members, runs the dialog and
// reads them back on OK. The rules live in CommSetForm; this window only binds widgets to it.
// The test runs on a worker; while it runs the test button stops it, and the dialog never ends
// before it has.
class CDlg_CommSet : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 138;

  explicit CDlg_CommSet(QWidget* parent = nullptr,
                        CommSetSources sources = CommSetSources::System());
  ~CDlg_CommSet() override;

  CommSettings settings;
  std::int32_t useDriver = 0;
  std::int32_t portKind = 0;

  const CommSetForm& Form() const { return form_; }
  bool TestRunning() const { return test_.Running(); }

 signals:
  // A test print ended (on the window's thread, after its message if any).
  void testEnded(int result, bool delivered);

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  CommSetForm form_;
  CommunicationTestRun test_;
  bool initialised_ = false;
  std::map<int, QComboBox*> lists_;
  std::map<int, QRadioButton*> radios_;
  std::map<int, QWidget*> controls_;  // every control the form enables, hides or labels
  QLabel* portLabel_;
  QLabel* baudLabel_;
  QLineEdit* tcpPortEdit_;
  IpAddressEdit* address_;
  QPushButton* testButton_;

  QComboBox* AddList(int id, const QString& accessibleName);
  QRadioButton* AddRadio(int id, const QString& caption, const QString& accessibleName);
  void OnTest();
  void OnTestEnded(int result, bool delivered, bool cancelled);
  void StopTest();
  // Shows every widget as the form says.
  void Refresh();
};

}  // namespace azuz
