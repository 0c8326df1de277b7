// The application's general error report: an error that escapes a message
// handler is shown in a stop box captioned with the program title, and the
// program goes on.
#include "ui/Form.h"

#include <gtest/gtest.h>

#include "MessageBoxDriver.h"
#include "util/Exception.h"

namespace {

constexpr UINT kFailingMessage = WM_APP + 40;
constexpr UINT kEchoMessage = WM_APP + 41;

class TFailingForm : public TForm {
public:
    TFailingForm() { CreateBorderlessWindow("TFailingForm", 100, 100); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kFailingMessage) {
            if (wParam)
                throw Exception("安装包损坏");
            throw std::runtime_error("plain failure");
        }
        if (msg == kEchoMessage)
            return 77;
        return TForm::WndProc(msg, wParam, lParam);
    }
};

TEST(ErrorReport, ProgramTitleIsTheFileNameCutBeforeItsFirstDot) {
    EXPECT_EQ(ApplicationTitle(), "win_controller");
}

TEST(ErrorReport, AnErrorFromAMessageHandlerIsShownAndTheProgramGoesOn) {
    TFailingForm form;
    form.Show();
    const struct {
        WPARAM Own;
        const char* Text;
    } cases[] = {{1, "安装包损坏"}, {0, "plain failure"}};
    for (const auto& c : cases) {
        TMessageBoxDriver driver;
        EXPECT_EQ(SendMessageA(form.Handle(), kFailingMessage, c.Own, 0), 0);
        const TMessageBoxSeen seen = driver.Wait();
        ASSERT_TRUE(seen.Found);
        EXPECT_EQ(seen.Text, c.Text);
        EXPECT_EQ(seen.Caption, "win_controller");
        EXPECT_EQ(seen.Icon, StopIcon());
        EXPECT_EQ(seen.VisibleButtons, 1);
        EXPECT_TRUE(seen.HasOk);
    }
    ASSERT_TRUE(IsWindow(form.Handle()));
    EXPECT_EQ(SendMessageA(form.Handle(), kEchoMessage, 0, 0), 77);
}

} // namespace
