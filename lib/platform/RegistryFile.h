#ifndef KX_PLATFORM_REGISTRYFILE_H
#define KX_PLATFORM_REGISTRYFILE_H

// Registry values read from text files, for systems without a registry of their own:
// - the regedit export format ("Windows Registry Editor Version 5.00" or "REGEDIT4";
//   sections "[HKEY_CURRENT_USER\...]", values "Name"="text" with \\ and \" escapes); the
//   header line may be left out, so a two-line file naming one value is enough;
// - Wine's own format ("WINE REGISTRY Version 2"; key names relative to the hive, with
//   backslashes doubled and a timestamp after the closing bracket).
// Files may be 8-bit text, or UTF-16LE with a byte-order mark; lines end in LF or CR LF.

#include "Platform.h"

#include <string>

namespace platform {

// Looks up the text value `valueName` ("" or "@" for the default value) of `key` (relative
// to `hive`) in the bytes of a registry file. Keys and value names compare case-insensitively.
bool findRegistryValue(const std::string &fileBytes, RegistryHive hive, const char *key, const char *valueName,
                       std::string &value);

// True when the bytes are in Wine's format.
bool isWineRegistry(const std::string &fileBytes);

// True for a Windows drive path: a letter, a colon, then nothing or a separator.
bool isWindowsDrivePath(const std::string &value);

// A Windows drive path (C:\Games\X) read from a Wine prefix, as the POSIX path
// <prefix>/dosdevices/c:/Games/X. Other texts come back unchanged.
std::string mapWineDrivePath(const std::string &prefix, const std::string &value);

}  // namespace platform

#endif
