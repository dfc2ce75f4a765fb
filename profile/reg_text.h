// The platform's side of the registry's text files: the code page of the older export format, and
// the form the files this program writes take on this platform.
#pragma once

#include <string>
#include <string_view>

namespace linkmate {

// Code page 936 (GBK, a superset of GB2312) as UTF-8; false when the bytes are not such text.
bool Cp936ToUtf8(std::string_view bytes, std::string& out);

// A file's text (UTF-8 with LF line ends, as RegDocument::Serialize gives it) in the form files
// are written on this platform: regedit's own on Windows (RegeditEncoding), so that a double-click
// imports it; unchanged elsewhere, where UTF-8 suits diff and grep.
std::string PlatformRegFileText(std::string_view text);

}  // namespace linkmate
