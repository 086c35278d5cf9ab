#include "UserPrompts.h"

namespace azuz {

UserPrompts& Prompts() {
  static UserPrompts prompts;
  return prompts;
}

}  // namespace azuz
