#pragma once
#include "core/publish/PublishOptions.h"

class SettingsStore;

// The "Publish readings" dialog's fields as the settings store keeps them.
namespace PublishSettings
{

// The stored options; the prefix is the default one when none is stored.
PublishOptions load(const SettingsStore &store);
// Writes the options; a file that then holds a password is made readable by its user alone.
// False with the reason when the file's permissions cannot be narrowed.
bool save(SettingsStore &store, const PublishOptions &options, QString *error);

} // namespace PublishSettings
