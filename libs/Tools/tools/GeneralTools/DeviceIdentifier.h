#pragma once

#include <optional>
#include <string>

// The device's hardware address and the identifiers derived from it, as the device class's
// extension offers them.
namespace DeviceIdentifier {

// The hardware address of the primary network interface as "XX:XX:XX:XX:XX:XX" (upper-case
// hexadecimal), or nothing when it cannot be read. The primary interface is the device
// profile's, else the one that carries the default route, else the first with an address.
std::optional<std::string> macaddress();

// MD5 of the hardware address text followed by the bundle identifier: stable for one device and
// one application. Without an address, "(null)" stands in for it.
std::string uniqueDeviceIdentifier();

// MD5 of the hardware address text alone: stable for one device across applications; nothing
// without an address.
std::optional<std::string> uniqueGlobalDeviceIdentifier();

}  // namespace DeviceIdentifier
