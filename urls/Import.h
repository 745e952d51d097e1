// The import's checks that other parts of the program use too.
#pragma once
#include <string>

// The file exists and can be opened for reading while others read it too.
bool IsFileReadable(const std::string& path);
// Contains "." and no space.
bool IsUrlWellFormed(const std::string& url);
// One entry of g_strIgnoreList occurs in the URL; normalises g_strIgnoreList in place.
bool IsUrlIgnored(const std::string& url);
