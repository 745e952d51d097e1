// CAboutDlg: the about box (IDD_ABOUTBOX): the icon, the program's name and "确定".
#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
