#pragma once
// A prompter for unattended runs: every message is appended to a log file and answered
// with its default button. The program uses it when PELMORA_MESSAGE_LOG names a file.
#include "platform/ui/Prompter.h"

namespace platform {

std::unique_ptr<Prompter> makeLoggingPrompter(const QString &logFile);

}
