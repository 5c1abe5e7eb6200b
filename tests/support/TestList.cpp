#include "support/TestList.h"

#include <stdexcept>

TestList::TestList()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    parent_ = CreateWindowExW(0, L"STATIC", L"test", WS_OVERLAPPEDWINDOW, 0, 0, 800, 400, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    list_.m_hWnd = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 780, 380,
                                   parent_, reinterpret_cast<HMENU>(1013), GetModuleHandleW(nullptr), nullptr);
    if (!list_.m_hWnd)
        throw std::runtime_error("cannot create a list-view window");
    const wchar_t* titles[] = {L"상태", L"dll명칭", L"메뉴명칭", L"버젼"};
    const int widths[] = {60, 250, 180, 80};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = widths[i];
        column.pszText = const_cast<LPWSTR>(titles[i]);
        SendMessageW(list_.m_hWnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

TestList::~TestList()
{
    DestroyWindow(parent_);
}

void TestList::Select(std::initializer_list<int> rows)
{
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED;
    SendMessageW(list_.m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    for (int row : rows) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageW(list_.m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}
