#pragma once

// Message templates of the serial component.  %d is the platform error code, the last %s the
// system's text for it; a leading %s in the open messages is the device name.
namespace m797::serial::msg {

inline constexpr const char* kPortOpen = "Can't perform this operation while port is open";
inline constexpr const char* kDeviceNotFound = "Specified device not found (%s).";
inline constexpr const char* kCantOpen = "Can't open specified device %s";
inline constexpr const char* kErrorSuffix = " (Error %d, %s)";
inline constexpr const char* kWriteDcb = "Error writing dcb (%d), %s";
inline constexpr const char* kInitBuffers = "Error initializing buffers (%d), %s";
inline constexpr const char* kSetTimeouts = "Error setting timeouts (%d), %s";
inline constexpr const char* kSetEventMask = " Error setting EventMask (%d), %s";
inline constexpr const char* kOutputFull = "Output buffer is full. Please check comm status.";
inline constexpr const char* kWriteError = "Write error (%d), %s";
inline constexpr const char* kReadError = "Read error (%d), %s";
inline constexpr const char* kStatistics = "Error retrieving statistics (%d), %s";
inline constexpr const char* kCommFunction = "Error calling comm function (%d), %s";
inline constexpr const char* kDtrHandshake =
    "DTR line updates not allowed when flowcontrol is set to Handshake.";
// Reported once when the device fails for good (unplugged adapter, hung-up terminal); the
// component stops using it until the port is closed and opened again.
inline constexpr const char* kDeviceLost =
    "Communication device failed (%d), %s. Close the port and open it again.";

}  // namespace m797::serial::msg
