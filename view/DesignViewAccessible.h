#pragma once

#include <QAccessibleWidget>
#include <string>

namespace azuz {

class CORVELIXImageToolDoc;
class CORVELIXImageToolView;

// What a screen reader says about the design view: a graphic named "Design" whose description
// gives the page size and the selected object, and says when the page shows the printed dots.
std::string DesignViewDescription(const CORVELIXImageToolDoc* doc);

class DesignViewAccessible : public QAccessibleWidget {
 public:
  explicit DesignViewAccessible(CORVELIXImageToolView* view);
  QString text(QAccessible::Text t) const override;
};

// Makes the view's interface for accessibility clients; installed once by the first view.
void InstallDesignViewAccessible();

}  // namespace azuz
