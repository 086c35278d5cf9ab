// A fixture for the serial tests: COM10 is the testbed's terminal /dev/ttyS9, as the registry
// file would map it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "CommSettings.h"
#include "PortNames.h"

namespace azuz::test {

class Com10Test : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPortNodeResolver([](const std::string& name) {
      return name == "COM10" ? std::string("/dev/ttyS9") : DefaultPortNode(name);
    });
  }
  void TearDown() override { SetPortNodeResolver({}); }

  static CommSettings Settings(int handshake, int flowControl = 0) {
    CommSettings settings;
    settings.portName = "COM10";
    settings.hardwareHandshake = handshake;
    settings.flowControl = flowControl;
    return settings;
  }
};

}  // namespace azuz::test
