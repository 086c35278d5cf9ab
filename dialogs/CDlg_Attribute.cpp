#include "CDlg_Attribute.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "CodePage.h"
#include "ControlIds.h"
#include "EditingOperations.h"
#include "ObjectListText.h"
#include "TrackBar.h"

namespace azuz {

namespace {

constexpr int kPanelTopBelowFrame = 70;

QString NameCell(const DrawObject& object) {
  const std::string name = ObjectListName(object);
  // Texts are in the design's code page; picture paths are file names of this system.
  return object.Is(ObjectKind::Text) ? QString::fromStdString(SystemToUtf8(name))
                                     : QFile::decodeName(QByteArray::fromStdString(name));
}

QTableWidgetItem* CentredCell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(Qt::AlignCenter);
  return item;
}

}  // namespace

CDlg_Attribute::CDlg_Attribute(CORVELIXImageToolDoc& doc, QWidget* owner,
                               std::function<void()> onClose)
    : QDialog(owner), doc_(doc), owner_(owner), onClose_(std::move(onClose)) {
  setObjectName(ControlName(IDD));
  setWindowTitle(QStringLiteral("Attribute"));
  setModal(false);

  list_ = new QTableWidget(0, 3, this);
  list_->setObjectName(ControlName(IDC_OBJECT_LIST));
  list_->setHorizontalHeaderLabels(
      {QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Type")});
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  list_->setColumnWidth(0, 30);
  list_->setColumnWidth(1, 140);
  list_->setColumnWidth(2, 50);
  list_->verticalHeader()->hide();
  list_->setShowGrid(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setAccessibleName(QStringLiteral("Objects"));
  list_->setAccessibleDescription(
      QStringLiteral("The design's objects, front last: number, name and type"));
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            // Any change of any row counts, a row losing its selection included.
            const QItemSelection& changed = selected.isEmpty() ? deselected : selected;
            if (!changed.isEmpty()) {
              OnListItemChanged(changed.indexes().first().row());
            }
          });

  patternCombo_ = new QComboBox(this);
  patternCombo_->setObjectName(ControlName(IDC_PATTERN_METHOD));
  patternCombo_->addItem(QStringLiteral("Random Matrix"));
  patternCombo_->setCurrentIndex(0);
  patternCombo_->setAccessibleName(QStringLiteral("Pattern"));
  patternCombo_->setAccessibleDescription(QStringLiteral("How the fade is dithered"));

  fadeSlider_ = new TrackBar(Qt::Horizontal, this);
  fadeSlider_->setObjectName(ControlName(IDC_FADE_LEVEL));
  fadeSlider_->setRange(0, 100);
  fadeSlider_->setValue(50);
  fadeSlider_->setAccessibleName(QStringLiteral("Fade"));
  fadeSlider_->setAccessibleDescription(QStringLiteral("How light the watermark prints, 0 to 100"));
  connect(fadeSlider_, &TrackBar::ReleasedCapture, this, &CDlg_Attribute::OnFadeSliderReleased);

  indexText_ = new QLabel(this);
  indexText_->setObjectName(ControlName(IDC_SELECTED_INDEX));
  // Its text is what a reader says; the name stays the number shown.
  indexText_->setAccessibleDescription(QStringLiteral("The selected object's index"));

  auto* controls = new QGridLayout;
  controls->addWidget(new QLabel(QStringLiteral("Pattern"), this), 0, 0);
  controls->addWidget(patternCombo_, 0, 1);
  controls->addWidget(new QLabel(QStringLiteral("Fade"), this), 1, 0);
  controls->addWidget(fadeSlider_, 1, 1);
  controls->addWidget(new QLabel(QStringLiteral("Selected"), this), 2, 0);
  controls->addWidget(indexText_, 2, 1);

  auto* buttons = new QGridLayout;
  buttons->addWidget(AddButton(IDC_ADD_OBJECT, QStringLiteral("Add"), &CDlg_Attribute::OnAddObject),
                     0, 0);
  buttons->addWidget(
      AddButton(IDC_MODIFY_OBJECT, QStringLiteral("Edit"), &CDlg_Attribute::OnModifyObject), 0, 1);
  buttons->addWidget(
      AddButton(IDC_DELETE_OBJECT, QStringLiteral("Delete"), &CDlg_Attribute::OnDeleteObject), 1,
      0);
  buttons->addWidget(
      AddButton(IDC_DELETE_ALL, QStringLiteral("Delete All"), &CDlg_Attribute::OnDeleteAll), 1, 1);
  buttons->addWidget(
      AddButton(IDC_MOVE_FORWARD, QStringLiteral("Move Up"), &CDlg_Attribute::OnMoveForward), 2, 0);
  buttons->addWidget(
      AddButton(IDC_MOVE_BACKWARD, QStringLiteral("Move Down"), &CDlg_Attribute::OnMoveBackward), 2,
      1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(controls);
  layout->addLayout(buttons);
  resize(250, 340);

  SetSelectedIndex(-1);
}

QPushButton* CDlg_Attribute::AddButton(int id, const QString& caption,
                                       void (CDlg_Attribute::*handler)()) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(ControlName(id));
  if (handler != nullptr) {
    connect(button, &QPushButton::clicked, this, handler);
  }
  return button;
}

void CDlg_Attribute::PlaceBesideOwner() {
  // Both outer rectangles, decoration included, as the screen shows them.
  const QRect frame = owner_->frameGeometry();
  const QPoint target(frame.x() + frame.width() - frameGeometry().width(),
                      frame.y() + kPanelTopBelowFrame);
  move(target);
  // Before a window has its decoration, move() places its client area; correct by the offset.
  const QPoint offset = frameGeometry().topLeft() - target;
  if (!offset.isNull()) {
    move(target - offset);
  }
}

void CDlg_Attribute::RefreshObjectList() {
  {
    const QSignalBlocker blocker(list_->selectionModel());
    list_->clearSelection();
    list_->setRowCount(0);
    list_->setRowCount(static_cast<int>(doc_.objects.size()));
    for (int row = 0; row < list_->rowCount(); ++row) {
      const DrawObject& object = *doc_.objects[static_cast<std::size_t>(row)];
      list_->setItem(row, 0, CentredCell(QString::number(row + 1)));
      list_->setItem(row, 1, CentredCell(NameCell(object)));
      list_->setItem(row, 2, CentredCell(QString::fromLatin1(ObjectKindName(object.kind))));
    }
  }
  int selected = -1;
  for (std::size_t p = 0; p < doc_.objects.size(); ++p) {
    if (doc_.objects[p]->selectState == 1) {
      selected = static_cast<int>(p);
      break;
    }
  }
  SetSelectedIndex(selected);
}

void CDlg_Attribute::SetSelectedIndex(int index) {
  selectedIndex_ = index < 0 ? -1 : index;
  indexText_->setText(QString::fromStdString(IndexText(selectedIndex_)));
}

void CDlg_Attribute::OnListItemChanged(int row) {
  if (row < 0) {
    return;
  }
  SetSelectedIndex(row);
  for (auto& object : doc_.objects) {
    object->selectState = 0;
  }
  doc_.selectedObject = nullptr;
  if (static_cast<std::size_t>(row) < doc_.objects.size()) {
    doc_.selectedObject = doc_.objects[static_cast<std::size_t>(row)].get();
    doc_.selectedObject->selectState = 1;
  }
  if (doc_.RedrawPage) {
    doc_.RedrawPage();
  }
}

void CDlg_Attribute::OnFadeSliderReleased() {
  SetFadePattern(doc_, fadeSlider_->value(), patternCombo_->currentIndex());
}

void CDlg_Attribute::ShowFadePattern() {
  const QSignalBlocker sliderBlocker(fadeSlider_);
  const QSignalBlocker comboBlocker(patternCombo_);
  fadeSlider_->setValue(doc_.fadeLevel);
  patternCombo_->setCurrentIndex(doc_.patternMethod);
}

void CDlg_Attribute::OnDeleteObject() {
  if (selectedIndex_ >= 0) {
    DeleteObjectAt(doc_, selectedIndex_);
  }
}

void CDlg_Attribute::OnAddObject() {
  std::int32_t kind = 0;
  const auto& run = Dialogs().RunObjectKindDialog;
  if (run && run(kind)) {
    AddObjectOfKind(doc_, kind);
  }
}

void CDlg_Attribute::OnModifyObject() {
  if (selectedIndex_ >= 0) {
    ModifyObjectAt(doc_, selectedIndex_);
  }
}

void CDlg_Attribute::OnDeleteAll() {
  ClearDesign(doc_);
}

void CDlg_Attribute::OnMoveForward() {
  MoveObject(doc_, selectedIndex_, -1);
}

void CDlg_Attribute::OnMoveBackward() {
  MoveObject(doc_, selectedIndex_, +1);
}

void CDlg_Attribute::closeEvent(QCloseEvent* event) {
  if (onClose_) {
    onClose_();
  }
  event->accept();
}

void CDlg_Attribute::reject() {
  // Escape hides the panel as its close box does, so the menu's check mark stays true.
  close();
}

}  // namespace azuz
