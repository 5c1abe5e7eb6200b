#pragma once
// Receives the files dropped on a list control; the list releases the drop afterwards.
#include <windows.h>
#include <shellapi.h>

class FileDropTarget {
public:
    virtual void OnFilesDropped(HDROP drop) = 0;

protected:
    ~FileDropTarget() = default;
};
