#pragma once

#include <CLI/CLI.hpp>

namespace azuz::cli {

// Each verb adds its subcommand; the callback runs it and sets the exit status.
void AddInfoVerb(CLI::App& app, int& status);
void AddPictureVerb(CLI::App& app, int& status);
// send, on, off, permanent-on, permanent-off, test-page.
void AddSendVerbs(CLI::App& app, int& status);
void AddEmulateVerb(CLI::App& app, int& status);
void AddRenderVerb(CLI::App& app, int& status);
void AddPrintersVerb(CLI::App& app, int& status);
void AddCommTestVerb(CLI::App& app, int& status);

// Also installs the store's port-name mapping, through which every verb opens its port.
void AddConnectionVerbs(CLI::App& app, int& status);

}  // namespace azuz::cli
