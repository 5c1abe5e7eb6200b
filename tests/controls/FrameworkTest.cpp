#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ListHost.h"
#include "framework/Dialog.h"
#include "support/AppDriver.h"
#include "support/UiThread.h"

namespace {

// Records which of its handlers ran.
class Probe : public CWnd {
public:
    std::vector<std::string> calls;
    LRESULT notifyResult = 0;

protected:
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnFirst() { calls.push_back("first"); }
    void OnSecond() { calls.push_back("second"); }
    void OnDoubleClicked() { calls.push_back("double"); }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        calls.push_back("settext");
        return Default();
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    void OnChildClick(NMHDR*, LRESULT* result)
    {
        calls.push_back("child click");
        *result = 11;
    }
    void OnOwnClick(NMHDR*, LRESULT* result)
    {
        calls.push_back("own click");
        *result = notifyResult;
    }

    static const MessageMapEntry kMessageMap[];
};

constexpr UINT kThrowingMessage = WM_APP + 5;

const MessageMapEntry Probe::kMessageMap[] = {
    MapCommand<&Probe::OnFirst>(7, BN_CLICKED),
    MapCommand<&Probe::OnSecond>(7, BN_CLICKED),
    MapCommand<&Probe::OnDoubleClicked>(7, BN_DOUBLECLICKED),
    MapMessage<&Probe::OnSetText>(WM_SETTEXT),
    MapMessage<&Probe::OnThrow>(kThrowingMessage),
    MapNotify<&Probe::OnChildClick>(42, NM_CLICK),
    MapNotifyFromSelf<&Probe::OnOwnClick>(NM_CLICK),
};

bool Probe::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    return DispatchMessageMap(kMessageMap, *this, msg, wp, lp, result) || CWnd::OnWndMsg(msg, wp, lp, result);
}

HWND MakeStatic(HWND parent = nullptr)
{
    return CreateWindowExW(0, L"STATIC", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr, nullptr,
                           nullptr);
}

LRESULT Notify(HWND to, HWND from, UINT_PTR id)
{
    NMHDR header{from, id, static_cast<UINT>(NM_CLICK)};
    return SendMessageW(to, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

// A host whose list sees keys before the dialog does.
class OrderHost : public CDialog {
public:
    explicit OrderHost(HWND parent = nullptr, UINT templateId = IDD_LIST_HOST) : CDialog(templateId, parent) {}

    struct KeyWatcher : CWnd {
        std::vector<std::string>* order = nullptr;
        bool swallow = false;
        BOOL PreTranslateMessage(MSG* msg) override
        {
            if (msg->message == WM_KEYDOWN)
                order->push_back("list");
            return swallow && msg->message == WM_KEYDOWN;
        }
    } list;
    std::vector<std::string> order;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            order.push_back("dialog");
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    void DoDataExchange() override
    {
        list.order = &order;
        DDX_Control(IDC_HOST_LIST, list);
    }
};

}  // namespace

TEST(Framework, MessageMapFirstMatchWinsAndMatchesIdsAndCodes)
{
    HWND window = MakeStatic();
    Probe probe;
    ASSERT_TRUE(probe.SubclassWindow(window));
    EXPECT_FALSE(Probe().SubclassWindow(window)) << "a window belongs to one object";

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(7, BN_DOUBLECLICKED), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0);
    EXPECT_EQ(probe.calls, (std::vector<std::string>{"first", "double"}));

    probe.calls.clear();
    SetWindowTextW(window, L"hello");
    EXPECT_EQ(probe.calls, std::vector<std::string>{"settext"});
    EXPECT_EQ(WindowText(window), L"hello") << "Default() reached the window's own procedure";

    EXPECT_EQ(SendMessageW(window, kThrowingMessage, 0, 0), 0);
    SetWindowTextW(window, L"after");
    EXPECT_EQ(WindowText(window), L"after") << "the window works on after a handler threw";

    probe.calls.clear();
    HWND stranger = MakeStatic();
    EXPECT_EQ(Notify(window, stranger, 42), 11);
    probe.notifyResult = 5;
    EXPECT_EQ(Notify(window, window, 42), 5) << "a notification from the window itself";
    EXPECT_EQ(Notify(window, stranger, 43), 0);
    EXPECT_EQ(probe.calls, (std::vector<std::string>{"child click", "own click"}));

    DestroyWindow(window);
    EXPECT_EQ(probe.m_hWnd, nullptr) << "the object lets go of a destroyed window";
    DestroyWindow(stranger);
}

TEST(Framework, NotificationsGoBackToTheSendingControlFirst)
{
    HWND parentWindow = MakeStatic();
    HWND childWindow = MakeStatic(parentWindow);
    Probe parent;
    Probe child;
    parent.SubclassWindow(parentWindow);
    child.SubclassWindow(childWindow);
    child.notifyResult = 3;
    EXPECT_EQ(Notify(parentWindow, childWindow, 42), 3);
    EXPECT_EQ(child.calls, std::vector<std::string>{"own click"});
    EXPECT_TRUE(parent.calls.empty()) << "the parent handled what its control took";

    HWND window = MakeStatic();
    auto gone = std::make_unique<Probe>();
    gone->SubclassWindow(window);
    gone.reset();
    SetWindowTextW(window, L"still works");
    EXPECT_EQ(WindowText(window), L"still works") << "a window outliving its object";
    DestroyWindow(window);
    DestroyWindow(parentWindow);
}

TEST(Framework, ModalLoopOffersKeysToTheControlFirstAndDisablesTheOwner)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    OrderHost host(owner);
    bool ownerEnabledWhileModal = true;
    INT_PTR result = RunModal(host, [&](UiThread& ui) {
        ownerEnabledWhileModal = IsWindowEnabled(owner);
        HWND list = ui.Call([&] { return host.list.m_hWnd; });
        PostKey(list, 'Q');
        ui.Flush();
        ui.Call([&] { host.list.swallow = true; });
        PostKey(list, 'W');
        ui.Flush();
        ui.Call([&] { host.EndDialog(77); });
        ASSERT_TRUE(ui.WaitUntil([&] { return host.m_hWnd == nullptr; })) << "EndDialog did not end the loop";
    });
    EXPECT_EQ(result, 77) << "DoModal returns what EndDialog was given";
    EXPECT_EQ(host.order, (std::vector<std::string>{"list", "dialog", "list"}));
    EXPECT_FALSE(ownerEnabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner gets its input back";
    DestroyWindow(owner);

    OrderHost missing(nullptr, 4321);
    EXPECT_EQ(missing.DoModal(), -1) << "a dialog without template";
}
