#include "CDlg_CommSet.h"
#include "CDlg_Port.h"
#include "CMainFrame.h"
#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "DesignRenderer.h"
#include "PrinterCommands.h"
#include "TransferRequestFor.h"
#include "UserPrompts.h"
#include "ViewPrinting.h"

namespace azuz {

void CMainFrame::OnPrintCommand(int id) {
  switch (id) {
    case ID_FILE_PRINT_SETUP:
      RunPrintSetup(*view_);
      break;
    case ID_FILE_PRINT:
      view_->OnFilePrint();
      break;
    case ID_FILE_PRINT_DIRECT:
      view_->OnFilePrintDirect();
      break;
    case ID_FILE_PRINT_PREVIEW:
      view_->OnFilePrintPreview();
      break;
    default:
      break;
  }
}

void CMainFrame::OnCommSettings() {
  // Only OK replaces the connection, and only in memory: nothing is stored.
  ConnectionState& state = connection_.state;
  CDlg_CommSet dialog(this);
  dialog.settings = state.settings;
  dialog.portKind = state.portKind;
  dialog.useDriver = state.useDriver;
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  state.settings = dialog.settings;
  state.portKind = dialog.portKind;
  state.useDriver = dialog.useDriver;
}

bool CMainFrame::OnPrinterCommand(int id) {
  if (id == ID_COMM_SETTINGS) {
    OnCommSettings();
    return true;
  }
  PrinterCommand command;
  if (id == kCommandDownload) {
    std::string why;
    const std::optional<WatermarkImage> image = RenderWatermarkImage(doc_, &why);
    if (!image) {
      // A page size the printer image cannot have: say so rather than send nothing silently.
      Prompts().Message(why);
      return true;
    }
    command = DownloadCommand(*image);
  } else if (!CommandForId(id, command)) {
    return false;
  }
  SendPrinterData(command.bytes.data(), static_cast<std::uint32_t>(command.bytes.size()),
                  command.caption, command.readReply);
  return true;
}

bool CMainFrame::SendPrinterData(const std::uint8_t* data, std::uint32_t length,
                                 const std::string& caption, bool readReply) {
  const PrinterCommand command{std::vector<std::uint8_t>(data, data + length), caption, readReply};
  CDlg_Port dialog(MakeTransferRequest(connection_.state, command, connection_.registryPath), this);
  return dialog.DoModal() == QDialog::Accepted;
}

}  // namespace azuz
