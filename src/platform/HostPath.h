#pragma once
// The system writes paths the way its original platform did: backslashes between components
// ("DADES\PagamV", rootDir + "FORMS\" + name) and no regard for letter case, in code page 850.
// Every file the system opens goes through ResolveHostPath to find the host file.

#include <string>
#include <string_view>

namespace duv {

// Maps a system path to the host path: backslashes become "/", the text is converted to the
// host's UTF-8 file names, and each component is matched case-insensitively against what
// exists, so "FORMS\MURDELAX.JPN" finds "forms/murdelax.jpn". An exact match wins over a
// case-insensitive one; among several case-insensitive matches the first in byte order wins.
// From the first component that does not exist on, the spelling given is kept, so that a
// file can be created under the name the system asked for.
std::string ResolveHostPath(std::string_view systemPath);

}  // namespace duv
