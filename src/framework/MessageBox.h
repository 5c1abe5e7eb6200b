#pragma once
#include <string>

// Shows a message box owned by the running modal dialog, captioned with the program's
// name. A box of type MB_OK or MB_OKCANCEL given no icon gets the exclamation icon,
// as the framework we stand in for does. Returns the button pressed.
int AfxMessageBox(const std::wstring& text, unsigned type);
