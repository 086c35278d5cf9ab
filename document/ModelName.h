#pragma once

#include <string>

namespace azuz {

// The process-wide printer model name ("QPT-L710" until the start-up decision sets it).
const std::string& CurrentModelName();
void SetCurrentModelName(const std::string& name);

// Page width in dots for a model: 512 for exactly "QPT-L710", 576 for anything else.
int PageWidthForModel(const std::string& model);

}  // namespace azuz
