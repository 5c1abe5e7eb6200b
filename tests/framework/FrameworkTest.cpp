#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "support/windows/WindowDriver.h"

namespace {

using Calls = std::vector<std::string>;

// Notes the keys offered to it.
struct KeyWatcher : CWnd {
    KeyWatcher(const char* name, Calls& calls) : name(name), calls(calls) {}
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            calls.push_back(name);
        return FALSE;
    }
    const char* name;
    Calls& calls;
};

// A dialog with an edit control, and a static inside the edit, whose map has two
// entries for one command and a handler that throws; IDCANCEL is left to the base
// class's map.
class Host : public CDialog {
public:
    explicit Host(UINT templateId = 100) : CDialog(templateId) {}
    Calls calls;
    KeyWatcher edit{"edit", calls}, inner{"inner", calls};

protected:
    void DoDataExchange() override
    {
        DDX_Control(10, edit);
        inner.SubclassWindow(CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, edit, nullptr, nullptr, nullptr));
    }
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override
    {
        return DispatchMessageMap(kMap, *this, msg, wp, lp, result) || CDialog::OnWndMsg(msg, wp, lp, result);
    }
    template <int N>
    void On()
    {
        calls.push_back("command " + std::to_string(N));
    }
    LRESULT Throw(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    static constexpr MessageMapEntry kMap[] = {
        MapCommand<&Host::On<1>>(7, BN_CLICKED),
        MapCommand<&Host::On<2>>(7, BN_CLICKED),
        MapCommand<&Host::On<3>>(8, BN_CLICKED),
        MapMessage<&Host::Throw>(WM_APP),
    };
};

}  // namespace

TEST(Framework, MessageMapAndModalLoopDispatchInOrderAndEndDialogEndsTheLoop)
{
    Host host;
    INT_PTR result = RunModal(host, [&](UiThread& ui) {
        for (WPARAM command : {MAKEWPARAM(7, BN_CLICKED), MAKEWPARAM(7, BN_DOUBLECLICKED), MAKEWPARAM(8, BN_CLICKED)})
            SendMessageW(host.m_hWnd, WM_COMMAND, command, 0);
        PostMessageW(host.m_hWnd, WM_APP, 0, 0);  // its handler throws, but the loop runs on

        // A key goes to the focus window first, then to its parent.
        PostKey(host.inner.m_hWnd, 'Q');
        EXPECT_EQ(ui.Call([&] { return host.calls; }), (Calls{"command 1", "command 3", "inner", "edit"}));
        PressButton(host.m_hWnd, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL) << "DoModal did not end with what the base class's OnCancel gave EndDialog";
    EXPECT_EQ(Host(4321).DoModal(), -1) << "a dialog without template";
}
