// The framework as a window class sees it: message maps, default
// processing, control binding and texts, in a real dialog under Wine.
#include "ProbeResources.h"
#include "RunningDialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

using ::testing::Optional;

namespace {

// Reports every handler it runs in its status label.
class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_PROBE) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_combo.AddString("first");
        m_combo.AddString("second");
        m_combo.SetCurSel(1);
        return TRUE;
    }

    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_PROBE_COMBO, m_combo); }

    void Report(const char* text) { SetDlgItemText(IDC_PROBE_STATUS, text); }

    void OnButton() { Report("button"); }

    void OnOther()
    {
        CString selected;
        m_combo.GetLBText(m_combo.GetCurSel(), selected);
        CString missing = "not cleared";
        m_combo.GetLBText(99, missing);
        Report(CString(selected) == "second" && missing.IsEmpty() ? "other: second" : "other: wrong");
    }

    void OnCopy()
    {
        CString text;
        GetDlgItemText(IDC_PROBE_EDIT, text);
        Report(text);
    }

    // Keeps the window from being minimised; leaves the rest to the system.
    void OnSysCommand(UINT nID, LPARAM lParam)
    {
        if ((nID & 0xFFF0) != SC_MINIMIZE)
            CDialog::OnSysCommand(nID, lParam);
    }

    HCURSOR OnQueryDragIcon() { return ::LoadCursor(nullptr, IDC_CROSS); }

    CComboBox m_combo;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
ON_BN_CLICKED(IDC_PROBE_BUTTON, &ProbeDialog::OnButton)
ON_BN_CLICKED(IDC_PROBE_OTHER, &ProbeDialog::OnOther)
ON_COMMAND(ID_PROBE_COPY, &ProbeDialog::OnCopy)
ON_WM_SYSCOMMAND()
ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

// Its own entry for the button comes before the base class's.
class DerivedProbeDialog : public ProbeDialog {
protected:
    void OnButtonHere() { Report("derived button"); }
    void OnMessageBox() { AfxMessageBox("Something to say.", MB_OK, 0); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedProbeDialog, ProbeDialog)
ON_BN_CLICKED(IDC_PROBE_BUTTON, &DerivedProbeDialog::OnButtonHere)
ON_COMMAND(ID_PROBE_SAY, &DerivedProbeDialog::OnMessageBox)
END_MESSAGE_MAP()

template <class Dialog>
std::unique_ptr<RunningDialog> Start()
{
    return std::make_unique<RunningDialog>([] { return std::make_unique<Dialog>(); });
}

TEST(MessageMapTest, AControlsNotificationRunsItsHandler)
{
    auto dialog = Start<ProbeDialog>();
    dialog->Click(IDC_PROBE_BUTTON);
    EXPECT_EQ(dialog->Text(IDC_PROBE_STATUS), "button");

    // Another notification from the same control has no entry.
    dialog->SetText(IDC_PROBE_STATUS, "");
    dialog->Send(WM_COMMAND, MAKEWPARAM(IDC_PROBE_BUTTON, BN_DOUBLECLICKED), 0);
    EXPECT_EQ(dialog->Text(IDC_PROBE_STATUS), "");
}

TEST(MessageMapTest, ADerivedMapComesFirstAndTheBaseMapStillApplies)
{
    auto dialog = Start<DerivedProbeDialog>();
    dialog->Click(IDC_PROBE_BUTTON);
    EXPECT_EQ(dialog->Text(IDC_PROBE_STATUS), "derived button");
    dialog->Click(IDC_PROBE_OTHER);
    EXPECT_EQ(dialog->Text(IDC_PROBE_STATUS), "other: second");
}

TEST(MessageMapTest, AHandlerChoosesWhetherDefaultProcessingFollows)
{
    auto dialog = Start<ProbeDialog>();
    dialog->Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(::IsIconic(dialog->Window()));
    dialog->Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));
}

TEST(MessageMapTest, AHandlersResultReachesTheSender)
{
    auto dialog = Start<ProbeDialog>();
    EXPECT_EQ(reinterpret_cast<HCURSOR>(dialog->Send(WM_QUERYDRAGICON)), ::LoadCursor(nullptr, IDC_CROSS));
}

TEST(ControlTextTest, ALongTextIsReadWhole)
{
    auto dialog = Start<ProbeDialog>();
    const std::string text(3000, 'x');
    dialog->SetText(IDC_PROBE_EDIT, text);
    dialog->Send(WM_COMMAND, ID_PROBE_COPY);
    EXPECT_EQ(dialog->Text(IDC_PROBE_STATUS), text);
}

TEST(MessageBoxTest, CarriesTheProgramsNameAndBelongsToTheActiveDialog)
{
    auto dialog = Start<DerivedProbeDialog>();
    dialog->Send(WM_COMMAND, ID_PROBE_SAY);
    const std::vector<ShownMessageBox> boxes = dialog->TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "framework_message_map_tests");
    EXPECT_EQ(boxes[0].text, "Something to say.");
    EXPECT_EQ(boxes[0].owner, dialog->Window());
}

// An application whose InitInstance says whether to run the message loop,
// and which handles one command of its own.
class ProbeApp : public CWinApp {
public:
    explicit ProbeApp(BOOL runMessageLoop) : m_runMessageLoop(runMessageLoop) {}

    BOOL InitInstance() override
    {
        ++initInstanceRuns;
        return m_runMessageLoop;
    }

    void OnAppCommand() { ++appCommands; }

    int initInstanceRuns = 0;
    std::atomic<int> appCommands{0};

private:
    BOOL m_runMessageLoop;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeApp, CWinApp)
ON_COMMAND(ID_PROBE_APP, &ProbeApp::OnAppCommand)
END_MESSAGE_MAP()

// A message loop would take the quit message and return its code.
constexpr int QuitCode = 7;

bool TakeQuitMessage()
{
    MSG message;
    return ::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(AfxWinMainTest, RunsTheMessageLoopOnlyWhenInitInstanceAsksForIt)
{
    for (BOOL runMessageLoop : {FALSE, TRUE}) {
        ProbeApp app(runMessageLoop);
        ::PostQuitMessage(QuitCode);
        EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL),
                  runMessageLoop ? QuitCode : 0);
        EXPECT_EQ(app.initInstanceRuns, 1);
        EXPECT_EQ(TakeQuitMessage(), !runMessageLoop);  // a loop would have taken it
    }
}

TEST(AfxWinMainTest, ACommandNoDialogHandlesGoesToTheApplication)
{
    ProbeApp app(FALSE);
    auto dialog = Start<ProbeDialog>();
    dialog->Send(WM_COMMAND, ID_PROBE_APP);
    EXPECT_EQ(app.appCommands, 1);
}

TEST(StringTableTest, LoadsAStringAndReportsAMissingOne)
{
    CString text = "before";
    EXPECT_TRUE(text.LoadString(IDS_PROBE_TEXT));
    EXPECT_EQ(text, "A string of the program's own");
    EXPECT_FALSE(text.LoadString(IDS_MISSING));
    EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
