#include "CDlg_CommSet.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "CommunicationTest.h"
#include "ControlIds.h"
#include "IpAddressEdit.h"
#include "UserPrompts.h"

namespace azuz {

namespace {

QString Local(const std::string& text) {
  return QString::fromLocal8Bit(text);
}

QStringList Entries(const FormList& list) {
  QStringList entries;
  for (const std::string& entry : list.entries) {
    entries << Local(entry);
  }
  return entries;
}

}  // namespace

CDlg_CommSet::CDlg_CommSet(QWidget* parent, CommSetSources sources)
    : QDialog(parent), form_(std::move(sources)) {
  setObjectName(ControlName(IDD));
  setWindowTitle(QStringLiteral("Communication Settings"));

  auto* modeBox = new QGroupBox(QStringLiteral("Connection"), this);
  auto* modeGroup = new QButtonGroup(this);
  QRadioButton* direct =
      AddRadio(IDC_DIRECT_PORT, QStringLiteral("&Direct port"), QStringLiteral("Direct port"));
  QRadioButton* driver = AddRadio(IDC_DRIVER_MODE, QStringLiteral("Printer d&river"),
                                  QStringLiteral("Printer driver"));
  modeGroup->addButton(direct);
  modeGroup->addButton(driver);
  QComboBox* printers = AddList(IDC_PRINTER_LIST, QStringLiteral("Printer"));
  auto* printerLabel = new QLabel(QStringLiteral("&Printer:"), this);
  printerLabel->setBuddy(printers);
  auto* modeLayout = new QGridLayout(modeBox);
  modeLayout->addWidget(direct, 0, 0);
  modeLayout->addWidget(driver, 0, 1);
  modeLayout->addWidget(printerLabel, 1, 0);
  modeLayout->addWidget(printers, 1, 1);

  auto* portBox = new QGroupBox(QStringLiteral("Port"), this);
  auto* kindGroup = new QButtonGroup(this);
  auto* kinds = new QHBoxLayout;
  for (const auto& [id, caption, name] :
       {std::tuple{IDC_PORT_COM, "&COM", "Serial port"},
        std::tuple{IDC_PORT_LPT, "&LPT", "Parallel port"},
        std::tuple{IDC_PORT_USB, "&USB", "USB printer"},
        std::tuple{IDC_PORT_TCPIP, "TCP/&IP", "Network printer (TCP/IP)"}}) {
    QRadioButton* radio = AddRadio(id, QString::fromLatin1(caption), QString::fromLatin1(name));
    kindGroup->addButton(radio);
    kinds->addWidget(radio);
  }

  portLabel_ = new QLabel(this);
  portLabel_->setObjectName(ControlName(IDC_PORT_LABEL));
  controls_[IDC_PORT_LABEL] = portLabel_;
  baudLabel_ = new QLabel(this);
  baudLabel_->setObjectName(ControlName(IDC_BAUD_LABEL));
  controls_[IDC_BAUD_LABEL] = baudLabel_;
  QComboBox* ports = AddList(IDC_PORT_LIST, QStringLiteral("Port"));
  address_ = new IpAddressEdit(QStringLiteral("Printer IP address"), this);
  address_->setObjectName(ControlName(IDC_IP_ADDRESS));
  controls_[IDC_IP_ADDRESS] = address_;
  connect(address_, &IpAddressEdit::addressEdited, this,
          [this] { form_.SetAddressControl(address_->Address()); });
  QComboBox* baud = AddList(IDC_BAUD_LIST, QStringLiteral("Baud rate"));
  tcpPortEdit_ = new QLineEdit(this);
  tcpPortEdit_->setObjectName(ControlName(IDC_TCP_PORT));
  tcpPortEdit_->setAccessibleName(QStringLiteral("TCP port"));
  controls_[IDC_TCP_PORT] = tcpPortEdit_;
  connect(tcpPortEdit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.SetTcpPortText(text.toLocal8Bit().toStdString()); });

  auto* portCell = new QHBoxLayout;
  portCell->addWidget(ports);
  portCell->addWidget(address_);
  auto* baudCell = new QHBoxLayout;
  baudCell->addWidget(baud);
  baudCell->addWidget(tcpPortEdit_);
  auto* fields = new QGridLayout;
  fields->addWidget(portLabel_, 0, 0);
  fields->addLayout(portCell, 0, 1, 1, 3);
  fields->addWidget(baudLabel_, 1, 0);
  fields->addLayout(baudCell, 1, 1, 1, 3);
  int row = 2;
  int column = 0;
  for (const auto& [id, caption, name] :
       {std::tuple{IDC_DATA_BITS_LIST, "Data &bits:", "Data bits"},
        std::tuple{IDC_STOP_BITS_LIST, "&Stop bits:", "Stop bits"},
        std::tuple{IDC_PARITY_LIST, "P&arity:", "Parity"},
        std::tuple{IDC_FLOW_LIST, "&Flow control:", "Flow control"}}) {
    QComboBox* list = AddList(id, QString::fromLatin1(name));
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setBuddy(list);
    fields->addWidget(label, row, column);
    fields->addWidget(list, row, column + 1);
    column += 2;
    if (column == 4) {
      column = 0;
      ++row;
    }
  }
  auto* portLayout = new QVBoxLayout(portBox);
  portLayout->addLayout(kinds);
  portLayout->addLayout(fields);

  testButton_ = new QPushButton(this);
  testButton_->setObjectName(ControlName(IDC_COMM_TEST));
  testButton_->setAccessibleName(QStringLiteral("Test print"));
  testButton_->setAutoDefault(false);
  controls_[IDC_COMM_TEST] = testButton_;
  connect(testButton_, &QPushButton::clicked, this, &CDlg_CommSet::OnTest);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(IDOK));
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(IDCANCEL));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlg_CommSet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CDlg_CommSet::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(testButton_);
  bottom->addStretch(1);
  bottom->addWidget(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(modeBox);
  layout->addWidget(portBox);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Refresh();
}

CDlg_CommSet::~CDlg_CommSet() {
  test_.CancelAndWait();
}

QComboBox* CDlg_CommSet::AddList(int id, const QString& accessibleName) {
  auto* list = new QComboBox(this);
  list->setObjectName(ControlName(id));
  list->setAccessibleName(accessibleName);
  list->setMinimumContentsLength(8);
  list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(list, &QComboBox::activated, this,
          [this, id](int index) { form_.SelectEntry(id, index); });
  lists_[id] = list;
  controls_[id] = list;
  return list;
}

QRadioButton* CDlg_CommSet::AddRadio(int id, const QString& caption,
                                     const QString& accessibleName) {
  auto* radio = new QRadioButton(caption, this);
  radio->setObjectName(ControlName(id));
  radio->setAccessibleName(accessibleName);
  connect(radio, &QRadioButton::clicked, this, [this, id] {
    form_.OnCommand(id);
    Refresh();
  });
  radios_[id] = radio;
  controls_[id] = radio;
  return radio;
}

void CDlg_CommSet::showEvent(QShowEvent* event) {
  if (!initialised_) {
    initialised_ = true;
    form_.settings = settings;
    form_.useDriver = useDriver;
    form_.portKind = portKind;
    form_.OnInitDialog();
    Refresh();
  }
  QDialog::showEvent(event);
}

void CDlg_CommSet::Refresh() {
  for (const auto& [id, list] : lists_) {
    const QSignalBlocker quiet(list);
    const FormList& entries = form_.List(id);
    const QStringList texts = Entries(entries);
    QStringList shown;
    for (int n = 0; n < list->count(); ++n) {
      shown << list->itemText(n);
    }
    if (shown != texts) {
      list->clear();
      list->addItems(texts);
    }
    list->setCurrentIndex(entries.selected);
  }
  for (const auto& [id, control] : controls_) {
    control->setEnabled(form_.Enabled(id));
    control->setVisible(form_.Visible(id));
  }
  const int kindButtons[] = {IDC_PORT_COM, IDC_PORT_LPT, IDC_PORT_USB, IDC_PORT_TCPIP};
  const std::int32_t kind = form_.CheckedKind();
  for (const auto& [id, radio] : radios_) {
    const QSignalBlocker quiet(radio);
    const bool checked = id == IDC_DRIVER_MODE   ? form_.DriverModeChecked()
                         : id == IDC_DIRECT_PORT ? !form_.DriverModeChecked()
                                                 : kind >= 0 && kind < 4 && kindButtons[kind] == id;
    if (checked) {
      radio->setChecked(true);
    }
  }
  portLabel_->setText(Local(form_.Label(IDC_PORT_LABEL)));
  baudLabel_->setText(Local(form_.Label(IDC_BAUD_LABEL)));
  if (tcpPortEdit_->text() != Local(form_.TcpPortText())) {
    tcpPortEdit_->setText(Local(form_.TcpPortText()));
  }
  address_->SetAddress(form_.AddressControl());
  testButton_->setText(test_.Running() ? QStringLiteral("&Stop Test") : QStringLiteral("&Test"));
}

void CDlg_CommSet::OnTest() {
  if (test_.Running()) {
    test_.Cancel();
    return;
  }
  const std::optional<CommTestRequest> request = form_.PrepareTest();
  Refresh();
  if (!request) {
    return;
  }
  // The worker's report is queued to this window, and dropped if the window is gone by then.
  test_.onEnded = [this](int result, bool delivered, bool cancelled) {
    QMetaObject::invokeMethod(
        this, [this, result, delivered, cancelled] { OnTestEnded(result, delivered, cancelled); },
        Qt::QueuedConnection);
  };
  CommSettings opened = request->settings;
  if (!request->portNode.empty()) {
    opened.portName = request->portNode;  // the store's COM and LPT names, as a transfer opens
  }
  test_.Start(request->portKind, opened, request->useDriver);
  Refresh();
}

void CDlg_CommSet::OnTestEnded(int result, bool delivered, bool cancelled) {
  test_.Wait();
  Refresh();
  for (const ConnectionMessage& message : test_.TakeMessages()) {
    Prompts().Message(message.text, message.detail);
  }
  if (result != 0 && !cancelled) {
    Prompts().Message(CommunicationTestFailure(result));
  }
  emit testEnded(result, delivered);
}

void CDlg_CommSet::accept() {
  test_.CancelAndWait();
  if (!form_.OnOK()) {
    Refresh();
    tcpPortEdit_->setFocus();
    tcpPortEdit_->selectAll();
    return;
  }
  settings = form_.settings;
  useDriver = form_.useDriver;
  portKind = form_.portKind;
  QDialog::accept();
}

void CDlg_CommSet::reject() {
  test_.CancelAndWait();
  QDialog::reject();
}

}  // namespace azuz
