#include "framework/Handles.h"
#include "framework/Profile.h"

namespace {

std::string g_registryKey = "Local AppWizard-Generated Applications";
std::string g_appName = "Tansy";

}  // namespace

void AfxSetProfileLocation(const std::string& registryKey, const std::string& appName) {
    g_registryKey = registryKey;
    g_appName = appName;
}

std::string AfxGetProfileKeyPath() {
    return "Software\\" + g_registryKey + "\\" + g_appName;
}

int AfxGetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    CRegKey key;
    std::string path = AfxGetProfileKeyPath() + "\\" + lpszSection;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return nDefault;
    DWORD type = 0, value = 0, size = sizeof value;
    if (::RegQueryValueExA(key.Get(), lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return nDefault;
    return (int)value;
}

BOOL AfxWriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    CRegKey key;
    std::string path = AfxGetProfileKeyPath() + "\\" + lpszSection;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return FALSE;
    DWORD value = (DWORD)nValue;
    return ::RegSetValueExA(key.Get(), lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}
