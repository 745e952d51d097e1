// The import's checks that other parts of the program use too.
#pragma once
#include <string>

// The file exists and can be opened for reading while others read it too.
bool IsFileReadable(const std::string& path);

enum class FileReadResult {
    Ok,
    Unreadable,   // missing, locked, a directory, or a read that failed
    TooLarge,     // more than a 32-bit process can hold, or memory ran out
};

// Reads the whole file as it is, bytes without conversion, opened with the
// same sharing as IsFileReadable.
FileReadResult ReadWholeFile(const std::string& path, std::string& content);

// Reads a URL file as text in the ANSI code page. UTF-16 and UTF-8 with their
// byte-order marks, and a file without a mark that is strict UTF-8 throughout,
// are converted, "?" standing for each character the code page cannot hold;
// any other file is taken byte for byte.
FileReadResult ReadUrlFileText(const std::string& path, std::string& text);
