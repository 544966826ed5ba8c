#include "app/VexamoApplication.h"

#include "ScriptedDialogs.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vexamo {
namespace {

using testing::ScriptedDialogs;

TEST(VexamoApplication, AnExceptionFromAHandlerIsShownAndTheEventCountsAsUnhandled) {
    ScriptedDialogs dialogs;
    const bool handled = DeliverReportingErrors(
        []() -> bool { throw std::runtime_error("No se puede abrir Vexamodat.bin"); }, &dialogs);
    EXPECT_FALSE(handled);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages().front().kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages().front().text, QStringLiteral("No se puede abrir Vexamodat.bin"));
}

TEST(VexamoApplication, NormalDeliveryPassesTheResultThroughSilently) {
    ScriptedDialogs dialogs;
    EXPECT_TRUE(DeliverReportingErrors([] { return true; }, &dialogs));
    EXPECT_FALSE(DeliverReportingErrors([] { return false; }, &dialogs));
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST(VexamoApplication, ABusyCursorIsTakenDownBeforeTheBox) {
    ScriptedDialogs dialogs;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    DeliverReportingErrors([]() -> bool { throw 42; }, &dialogs);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_FALSE(dialogs.Messages().front().text.isEmpty());
}

} // namespace
} // namespace vexamo
