#pragma once
// The serial control's error numbers, as the window tells them apart (no Qt here, so the termios
// port can use them too).

namespace platform {

inline constexpr int kSerialInvalidPort = 8002;      // no such port
inline constexpr int kSerialPortUnavailable = 8012;  // the port exists but cannot be opened
inline constexpr int kSerialOpenFailed = 8015;       // any other failure to open or configure

}  // namespace platform
