// The device in use is named on the first page and on the status line once the window opened it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QStatusBar>

#include "gui_test_support.h"

namespace quillox::gui::test {
namespace {

using DeviceInUseTest = MainWindowFixture;

TEST_F(DeviceInUseTest, FirstPageAndStatusLineNameIt) {
    rig.devices.openedDetail = "ST STV0299 DVB-S, /dev/dvb/adapter0/frontend0";
    form->FormCreate();
    form->FormShow();
    const QString expected = "Device in use: ST STV0299 DVB-S, /dev/dvb/adapter0/frontend0";
    auto* status = window->statusBar()->findChild<QLabel*>("device_in_use");
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(PollUntil([&] { return status->text() == expected; }));
    EXPECT_TRUE(
        PollUntil([&] { return widget<QLabel>("lb_attention_driver")->text() == expected; }));
    form->Close();
}

}  // namespace
}  // namespace quillox::gui::test
