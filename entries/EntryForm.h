#pragma once
#include "platform/core/Clipboard.h"
#include "platform/core/Clock.h"
#include "platform/core/FileDialogs.h"
#include "platform/core/Launcher.h"
#include "platform/core/Prompter.h"
#include "platform/core/WindowSystem.h"
#include "store/FileManager.h"
#include "store/SettingsAccess.h"
#include <functional>

namespace ql {

// What a caller asks of a form, and what the form answers.
namespace form_request {
inline constexpr int Insert = 1;
inline constexpr int Change = 2;
inline constexpr int Delete = 3;
} // namespace form_request
namespace form_response {
inline constexpr int Completed = 1;
inline constexpr int Cancelled = 2;
} // namespace form_response

// The main program's entry form, or the monitor program's smaller one.
enum class EntryFormVariant { MainProgram, MonitorProgram };

// What the entry form works through.
struct EntryFormServices {
    Clock& clock;
    Prompter& prompter;
    Clipboard& clipboard;
    WindowSystem& windows;
    FileDialogs& files;
    Launcher& launcher;
    SettingsAccess& settings;
    FileManager& passwords;
    FileManager& users;
    FileManager& scriptPaste;
    // Marks the user's watched entries as changed and asks the frame to reload
    // them; empty where nothing watches entries this way (the monitor program).
    std::function<void(const QString& userName)> watchedEntryChanged;
    // The desktop's warning sound.
    std::function<void()> beep;
};

// The control a check leaves the focus on; None when the form closes.
enum class EntryControl { None, Ok, Service, Name, Password, SendText, Wait, WindowTitle };

} // namespace ql
