#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CommSettings.h"
#include "Connection.h"

namespace azuz {

// The settings dialog's test text: 121 bytes, line feeds, no terminating zero.
inline constexpr char kCommunicationTestText[] =
    "TestPrint Start------------\n1234567890\n1234567890\n1234567890\n1234567890\n"
    "ABCDEFGHIJKLMNOP\nABCDEFGHIJKLMNOP\nSuccess!!------";
inline constexpr std::size_t kCommunicationTestLength = sizeof kCommunicationTestText - 1;

// Sends the test text over the chosen connection, as the settings dialog's test button does.
// Driver mode: one spooler job to the printer named settings.portName, giving SpoolerTestPrint's
// 0, -1 or -2. Direct: open, write, close; always 0. The connection opened here is closed also
// when the write fails. `delivered` (optional) tells whether the bytes went out, which the direct
// result doesn't say; `messages` (optional) gets what a failed open has to tell the user.
int RunCommunicationTest(std::int32_t portKind, const CommSettings& settings, bool useDriver,
                         bool* delivered = nullptr,
                         std::vector<ConnectionMessage>* messages = nullptr);

// "Failed to test printing\r\nError Code = <result>!!!", the message for a nonzero result.
std::string CommunicationTestFailure(int result);

}  // namespace azuz
