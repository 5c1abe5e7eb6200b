#pragma once
// A real report-view list-view window with the module list's four columns, for tests
// of code that drives the module list without the dialog.
#include "framework/ListCtrl.h"

class TestList {
public:
    TestList();
    ~TestList();
    TestList(const TestList&) = delete;
    TestList& operator=(const TestList&) = delete;

    CListCtrl& List() { return list_; }
    // Selects exactly the given rows.
    void Select(std::initializer_list<int> rows);

private:
    HWND parent_ = nullptr;
    CListCtrl list_;
};
