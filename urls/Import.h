// The import's checks that other parts of the program use too.
#pragma once
#include <string>

// The file exists and can be opened for reading while others read it too.
bool IsFileReadable(const std::string& path);
// Contains "." and no space.
bool IsUrlWellFormed(const std::string& url);
// One entry of g_strIgnoreList occurs in the URL; normalises g_strIgnoreList in place.
bool IsUrlIgnored(const std::string& url);
// Reads the whole file as it is, bytes without conversion; false when it cannot
// be opened with the same sharing as IsFileReadable, or read completely.
bool ReadWholeFile(const std::string& path, std::string& content);
