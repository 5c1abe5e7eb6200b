#include "framework/MessageBox.h"

#include "framework/Dialog.h"
#include "framework/WinApp.h"

int AfxMessageBox(const std::wstring& text, unsigned type)
{
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    return MessageBoxW(CDialog::ActiveModalWindow(), text.c_str(), AfxGetAppName().c_str(), type);
}
