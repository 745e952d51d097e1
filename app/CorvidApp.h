// CCorvidApp: brings the program up and down. Finds config.ini beside the
// executable (creating it when missing), loads the run parameters into the
// settings globals, creates the main frame, and writes the parameters back at exit.
#pragma once
#include <string>

#include "framework/WinApp.h"

// Host of the product's web site; the online help page lives there.
inline constexpr char kHelpOnlineUrl[] = "http://skein.example.org/software-corvid.htm";

class CCorvidApp : public CWinApp {
public:
    CCorvidApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnCmdMsg(UINT nID) override;

    std::string m_strAppDir;       // directory of the executable, ending in a backslash
    std::string m_strConfigFile;   // m_strAppDir + "config.ini"
    BOOL m_bSettingsRead = FALSE;  // the last LoadSettings could read config.ini

    // Value of key in section of m_strConfigFile, whole however long; "" when absent.
    std::string GetConfigString(const char* section, const char* key) const;

    // The start-up and exit steps, each on its own.
    void LocateConfigFile();
    // Writes the default settings file when config.ini cannot be read. An
    // existing file is never replaced, even one that cannot be read now.
    void CreateConfigIfMissing() const;
    // Loads the three run parameters; FALSE when config.ini could not be read
    // (held exclusively by another program, a directory): they are empty then.
    BOOL LoadSettings();
    // Writes them back, unless they could not be read: what the user had in
    // config.ini must not be replaced by empty values.
    void SaveSettings() const;
    // Tells the user once that config.ini could not be read and stays as it is.
    void ReportUnreadableSettings() const;
    // Every text is GBK handed to the ANSI functions: under another code page
    // for non-Unicode programs each one comes out garbled. Where the manifest's
    // code page did not take, tells the user once, in text any code page shows.
    void ReportForeignCodePage() const;
    // The single-document template of the document, the main frame and the view.
    void AddCorvidDocTemplate();

    void OnAppAbout();
    void OnHelpOnline();
};
