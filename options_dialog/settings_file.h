// The per-user settings file of stored defaults: an INI file in the user's roaming application-data
// folder, read while parameters are registered and written or deleted from the options dialog.
// Every file and folder call fails silently: stored defaults are a convenience, never an error.
#pragma once

#include "ae_effect.h"

// Section of every key, "Version=1.0" once parameter setup has run on a host that gets stored
// defaults; empty before that and on legacy hosts.
extern char settingsSection[128];

constexpr int kSettingsPathSize = 260;

// The full path of the settings file, "<application data>\NORVA\tessaline\tessaline.ini". Empty,
// and false, when the application-data folder cannot be had or the path would not fit: then there
// is no file access at all.
bool settingsFilePath(char (&path)[kSettingsPathSize]);

// Makes the section name parameter setup uses on a host that gets stored defaults.
void useSettingsSection();
// No section: the host gets built-in defaults only.
void clearSettingsSection();

// Stores the values of the instance whose parameters the host handed in as the user's defaults.
void SetDefaults(PF_InData* in_data, PF_ParamDef** params);
// Deletes the settings file and the folders made for it, up to the application-data folder.
void RestoreDefaults();
