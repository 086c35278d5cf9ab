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

#include "CMainFrame.h"
#include "CodePage.h"
#include "EditingOperations.h"
#include "ObjectListText.h"
#include "TrackBar.h"

namespace azuz {

namespace {

constexpr int kPanelTopBelowFrame = 70;

QString IdName(int id) {
  return QStringLiteral("id%1").arg(id);
}

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

CDlg_Attribute::CDlg_Attribute(CMainFrame* owner) : QDialog(owner), owner_(owner) {
  setObjectName(IdName(IDD));
  setWindowTitle(QStringLiteral("Attribute"));
  setModal(false);

  list_ = new QTableWidget(0, 3, this);
  list_->setObjectName(IdName(1011));
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
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            // Any change of any row counts, a row losing its selection included.
            const QItemSelection& changed = selected.isEmpty() ? deselected : selected;
            if (!changed.isEmpty()) {
              OnListItemChanged(changed.indexes().first().row());
            }
          });

  patternCombo_ = new QComboBox(this);
  patternCombo_->setObjectName(IdName(1002));
  patternCombo_->addItem(QStringLiteral("Random Matrix"));
  patternCombo_->setCurrentIndex(0);

  fadeSlider_ = new TrackBar(Qt::Horizontal, this);
  fadeSlider_->setObjectName(IdName(1005));
  fadeSlider_->setRange(0, 100);
  fadeSlider_->setValue(50);
  connect(fadeSlider_, &TrackBar::ReleasedCapture, this, &CDlg_Attribute::OnFadeSliderReleased);

  indexText_ = new QLabel(this);
  indexText_->setObjectName(IdName(1019));

  auto* controls = new QGridLayout;
  controls->addWidget(new QLabel(QStringLiteral("Pattern"), this), 0, 0);
  controls->addWidget(patternCombo_, 0, 1);
  controls->addWidget(new QLabel(QStringLiteral("Fade"), this), 1, 0);
  controls->addWidget(fadeSlider_, 1, 1);
  controls->addWidget(new QLabel(QStringLiteral("Selected"), this), 2, 0);
  controls->addWidget(indexText_, 2, 1);

  auto* buttons = new QGridLayout;
  // Adding and editing need the property dialogs, which this panel does not have yet.
  QPushButton* add = AddButton(1010, QStringLiteral("Add"));
  QPushButton* edit = AddButton(1012, QStringLiteral("Edit"));
  add->setEnabled(false);
  edit->setEnabled(false);
  buttons->addWidget(add, 0, 0);
  buttons->addWidget(edit, 0, 1);
  buttons->addWidget(AddButton(1009, QStringLiteral("Delete")), 1, 0);
  buttons->addWidget(AddButton(1013, QStringLiteral("Delete All")), 1, 1);
  buttons->addWidget(AddButton(1026, QStringLiteral("Move Up")), 2, 0);
  buttons->addWidget(AddButton(1027, QStringLiteral("Move Down")), 2, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(controls);
  layout->addLayout(buttons);
  resize(250, 340);

  SetSelectedIndex(-1);
}

QPushButton* CDlg_Attribute::AddButton(int id, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(IdName(id));
  switch (id) {
    case 1009:
      connect(button, &QPushButton::clicked, this, &CDlg_Attribute::OnDeleteObject);
      break;
    case 1013:
      connect(button, &QPushButton::clicked, this, &CDlg_Attribute::OnDeleteAll);
      break;
    case 1026:
      connect(button, &QPushButton::clicked, this, &CDlg_Attribute::OnMoveForward);
      break;
    case 1027:
      connect(button, &QPushButton::clicked, this, &CDlg_Attribute::OnMoveBackward);
      break;
    default:
      break;
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
  const CORVELIXImageToolDoc& doc = owner_->GetDocument();
  {
    const QSignalBlocker blocker(list_->selectionModel());
    list_->clearSelection();
    list_->setRowCount(0);
    list_->setRowCount(static_cast<int>(doc.objects.size()));
    for (int row = 0; row < list_->rowCount(); ++row) {
      const DrawObject& object = *doc.objects[static_cast<std::size_t>(row)];
      list_->setItem(row, 0, CentredCell(QString::number(row + 1)));
      list_->setItem(row, 1, CentredCell(NameCell(object)));
      list_->setItem(row, 2, CentredCell(QString::fromLatin1(ObjectKindName(object.kind))));
    }
  }
  int selected = -1;
  for (std::size_t p = 0; p < doc.objects.size(); ++p) {
    if (doc.objects[p]->selectState == 1) {
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
  CORVELIXImageToolDoc& doc = owner_->GetDocument();
  for (auto& object : doc.objects) {
    object->selectState = 0;
  }
  doc.selectedObject = nullptr;
  if (static_cast<std::size_t>(row) < doc.objects.size()) {
    doc.selectedObject = doc.objects[static_cast<std::size_t>(row)].get();
    doc.selectedObject->selectState = 1;
  }
  if (doc.RedrawPage) {
    doc.RedrawPage();
  }
}

void CDlg_Attribute::OnFadeSliderReleased() {
  CORVELIXImageToolDoc& doc = owner_->GetDocument();
  doc.fadeLevel = fadeSlider_->value();
  doc.patternMethod = patternCombo_->currentIndex();
  if (doc.RedrawPage) {
    doc.RedrawPage();
  }
}

void CDlg_Attribute::OnDeleteObject() {
  if (selectedIndex_ >= 0) {
    DeleteObjectAt(owner_->GetDocument(), selectedIndex_);
  }
}

void CDlg_Attribute::OnDeleteAll() {
  ClearDesign(owner_->GetDocument());
}

void CDlg_Attribute::OnMoveForward() {
  MoveObject(owner_->GetDocument(), selectedIndex_, -1);
}

void CDlg_Attribute::OnMoveBackward() {
  MoveObject(owner_->GetDocument(), selectedIndex_, +1);
}

void CDlg_Attribute::closeEvent(QCloseEvent* event) {
  owner_->TogglePanel();
  event->accept();
}

void CDlg_Attribute::reject() {
  // Escape hides the panel as its close box does, so the menu's check mark stays true.
  close();
}

}  // namespace azuz
