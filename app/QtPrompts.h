#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QWidget;

namespace azuz {

// Installs message boxes and file dialogs as the core's prompts, each modal to the window that
// is active when it opens.
void InstallQtPrompts();

// "Name(*.ext)|*.ext|Other(*.a;*.b)|*.a;*.b||" as Qt name filters: the display text, with its
// patterns in parentheses unless it already ends with them.
QStringList NameFiltersFrom(const std::string& filter);
// "*.bwi" or "bwi" as a suffix without the dot; empty when there is none.
QString SuffixFrom(const std::string& defaultExtension);

// The caption of the designer's message boxes.
inline constexpr const char* kMessageBoxCaption = "Vurodadud Azuz";

}  // namespace azuz
