#pragma once
// File-name helpers on Windows-style paths, as plain string work.
#include <string>

// The name part: the text after the last backslash or drive colon, or all of it.
std::string ExtractFileName(const std::string& path);
// Everything up to and including the last backslash or drive colon.
std::string ExtractFilePath(const std::string& path);
// The extension of the name part, from its last dot on ("" when it has none).
std::string ExtractFileExt(const std::string& path);
// The path with the extension of its name part replaced by ext (".ini");
// a name part without a dot gets ext appended.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
