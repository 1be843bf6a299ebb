#pragma once
// The user's special folders, from the XDG user directories.
#include <string>
#include <string_view>

namespace tallowmere::platform {

// $HOME, else the password database's home folder; empty when neither is known.
std::string HomeFolder();

// The folder that "$XDG_CONFIG_HOME/user-dirs.dirs" (else
// "~/.config/user-dirs.dirs") gives for XDG_<name>_DIR, with "$HOME"
// expanded; empty when the file does not set it or sets a relative path.
std::string XdgUserDir(std::string_view name);

// The documents folder: XDG_DOCUMENTS_DIR, else "$HOME/Documents" when it
// exists, else $HOME. It is not created.
std::string DocumentsFolder();

}  // namespace tallowmere::platform
