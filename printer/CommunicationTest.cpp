#include "CommunicationTest.h"

#include "Connection.h"
#include "Spooler.h"

namespace azuz {

int RunCommunicationTest(std::int32_t portKind, const CommSettings& settings, bool useDriver,
                         bool* delivered, std::vector<ConnectionMessage>* messages) {
  const auto* text = reinterpret_cast<const std::uint8_t*>(kCommunicationTestText);
  bool sent = false;
  int result = 0;
  if (useDriver) {
    result = SpoolerTestPrint(settings.portName, text, kCommunicationTestLength);
    sent = result == 0;
  } else if (OpenConnection(portKind, settings, false)) {
    sent = WriteConnection(text, kCommunicationTestLength);
    CloseConnection();
  }
  std::vector<ConnectionMessage> said = TakeConnectionMessages();
  if (messages != nullptr) {
    *messages = std::move(said);
  }
  if (delivered != nullptr) {
    *delivered = sent;
  }
  return result;
}

std::string CommunicationTestFailure(int result) {
  return "Failed to test printing\r\nError Code = " + std::to_string(result) + "!!!";
}

}  // namespace azuz
