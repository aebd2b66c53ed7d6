#pragma once

#include <string>

namespace m797::serial {

// The file a device name stands for: a name starting with '/' is a path already; otherwise the
// link <config>/TARKON/ports/<name> when it exists ($XDG_CONFIG_HOME, default ~/.config), else
// /dev/ttyUSB<n-1> for COM<n>.  Empty when the name names nothing.
std::string ResolveDevicePath(const std::string& name);

}  // namespace m797::serial
