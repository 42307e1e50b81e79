#pragma once
#include "exchange/SyncRun.h"
#include "platform/core/Prompter.h"
#include <vector>

namespace ql {

enum class SyncDirection { Send, Receive };

// The messages that close a run, in the order they are shown: the failure, if
// any, then the summary when entries were written (or, after a receive that
// did not complete, a summary saying that nothing stayed merged).
std::vector<Prompt> syncEndMessages(const SyncOutcome& outcome, SyncDirection direction);

// The summary of a completed run on one line, for the command line.
QString syncSummaryLine(const SyncOutcome& outcome, SyncDirection direction);

// A message as one line: "Caption: text", line breaks turned into blanks.
QString promptLine(const Prompt& prompt);

// Synchronization asked for on the command line without user, password or file.
Prompt syncParametersIncorrect();

// No password that may seal or open a file was given.
Prompt syncFilePasswordMissing();

// The receiving user's password differs from the sending user's.
Prompt syncPasswordMismatch();

} // namespace ql
