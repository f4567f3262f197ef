// settings_state.cpp - the process-wide settings record.
#include "settings/settings_state.h"

SettingsState settingsState;
