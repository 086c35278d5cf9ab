#include "ModelName.h"

namespace azuz {

namespace {
std::string& Storage() {
  static std::string name = "QPT-L710";
  return name;
}
}  // namespace

const std::string& CurrentModelName() {
  return Storage();
}
void SetCurrentModelName(const std::string& name) {
  Storage() = name;
}
int PageWidthForModel(const std::string& model) {
  return model == "QPT-L710" ? 512 : 576;
}

}  // namespace azuz
