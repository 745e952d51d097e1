// The application's per-user profile: integers under
// HKEY_CURRENT_USER\Software\<registry key>\<application>\<section>.
#pragma once
#include <windows.h>

#include <string>

// Where the profile lives; the program's is "Local AppWizard-Generated Applications" / "Tansy".
void AfxSetProfileLocation(const std::string& registryKey, const std::string& appName);
std::string AfxGetProfileKeyPath();   // "Software\<registry key>\<application>"

// The stored value, or nDefault when the section or entry is missing or not an integer.
int AfxGetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
BOOL AfxWriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
