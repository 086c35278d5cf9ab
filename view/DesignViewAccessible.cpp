#include "DesignViewAccessible.h"

#include <algorithm>

#include "CORVELIXImageToolDoc.h"
#include "CORVELIXImageToolView.h"
#include "DrawObject.h"

namespace azuz {

namespace {

QAccessibleInterface* MakeDesignViewAccessible(const QString& /*className*/, QObject* object) {
  if (auto* view = qobject_cast<CORVELIXImageToolView*>(object)) {
    return new DesignViewAccessible(view);
  }
  return nullptr;
}

}  // namespace

std::string DesignViewDescription(const CORVELIXImageToolDoc* doc) {
  if (doc == nullptr) {
    return "No design";
  }
  std::string text = "Page " + std::to_string(doc->pageWidth) + " by " +
                     std::to_string(doc->pageHeight) + " dots, ";
  const auto found = std::find_if(doc->objects.begin(), doc->objects.end(),
                                  [doc](const auto& o) { return o.get() == doc->selectedObject; });
  if (doc->selectedObject == nullptr || found == doc->objects.end()) {
    return text + std::to_string(doc->objects.size()) + " objects, none selected";
  }
  const DrawObject& object = **found;
  return text + std::to_string(doc->objects.size()) + " objects, selected: object " +
         std::to_string(found - doc->objects.begin() + 1) + ", " + ObjectKindName(object.kind) +
         " from " + std::to_string(object.left) + ", " + std::to_string(object.top) + " to " +
         std::to_string(object.right) + ", " + std::to_string(object.bottom);
}

DesignViewAccessible::DesignViewAccessible(CORVELIXImageToolView* view)
    : QAccessibleWidget(view, QAccessible::Graphic) {}

QString DesignViewAccessible::text(QAccessible::Text t) const {
  const auto* view = static_cast<const CORVELIXImageToolView*>(widget());
  switch (t) {
    case QAccessible::Name:
      return view->accessibleName().isEmpty() ? QStringLiteral("Design") : view->accessibleName();
    case QAccessible::Description: {
      const QString description =
          QString::fromLocal8Bit(DesignViewDescription(view->GetDocument()));
      return view->PrintedDots() ? description + QStringLiteral(", shown as printed dots")
                                 : description;
    }
    default:
      return QAccessibleWidget::text(t);
  }
}

void InstallDesignViewAccessible() {
  static const bool installed = [] {
    QAccessible::installFactory(MakeDesignViewAccessible);
    return true;
  }();
  (void)installed;
}

}  // namespace azuz
