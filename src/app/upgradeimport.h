#pragma once
// The first start of this version offers to take over the settings of version 1.30, kept in section "[1.30]" of
// the same settings file. It runs once: its first act clears "First Run", and the old section is deleted
// whichever answer the user gives.

#include <functional>

namespace marvane {

class Dialogs;
class SettingsStore;

// showProgressAgain is called after the closing message, so start-up's progress window comes back.
void ImportOldSettings(SettingsStore& store, Dialogs& dialogs, const std::function<void()>& showProgressAgain);

}  // namespace marvane
