#include "platform/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <unistd.h>

namespace vexamo {
namespace {

// A server name no other test run uses at the same time.
QString UniqueName(const char* what) {
    return QStringLiteral("vexamo-test-%1-%2-%3")
        .arg(QCoreApplication::applicationPid())
        .arg(QLatin1String(what))
        .arg(::testing::UnitTest::GetInstance()->random_seed());
}

// Runs the sender executable as a second start and returns its exit code (-1 on a crash),
// letting this process's event loop serve the socket meanwhile.
int RunSecondStart(const QString& serverName, const QStringList& parameters,
                   int timeoutMs = SingleInstance::kDefaultTimeoutMs) {
    QProcess process;
    process.start(QStringLiteral(VEXAMO_SINGLE_INSTANCE_SENDER),
                  QStringList{serverName, QString::number(timeoutMs)} + parameters);
    if (!process.waitForStarted(10000)) return -1;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning) loop.exec();
    if (process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

TEST(SingleInstance, SecondStartHandsItsParametersToTheFirstAndEnds) {
    SingleInstance first(UniqueName("handover"));
    ASSERT_TRUE(first.Listen());
    QSignalSpy received(&first, &SingleInstance::ParametersReceived);

    QStringList parameters;
    for (int i = 0; i < 12; ++i) parameters << QStringLiteral("Tema %1.mtr").arg(i);
    parameters[1] = QStringLiteral("/home/ana/Matemáticas ñ €.MTR");
    parameters[2] = QString(350, QLatin1Char('x'));
    parameters[3] = QString(300, QLatin1Char('y'));

    EXPECT_EQ(RunSecondStart(first.ServerName(), parameters), 0);
    ASSERT_EQ(received.count(), 1);
    const QStringList got = received.at(0).at(0).toStringList();
    ASSERT_EQ(got.size(), 10);
    EXPECT_EQ(got.at(0), QStringLiteral("Tema 0.mtr"));
    EXPECT_EQ(got.at(1), parameters.at(1));
    EXPECT_EQ(got.at(2), QString(300, QLatin1Char('x')));
    EXPECT_EQ(got.at(3), parameters.at(3));
    EXPECT_EQ(got.at(9), QStringLiteral("Tema 9.mtr"));
}

TEST(SingleInstance, SecondStartWithoutParametersStillReachesTheFirst) {
    SingleInstance first(UniqueName("empty"));
    ASSERT_TRUE(first.Listen());
    QSignalSpy received(&first, &SingleInstance::ParametersReceived);

    EXPECT_EQ(RunSecondStart(first.ServerName(), {}), 0);
    ASSERT_EQ(received.count(), 1);
    EXPECT_TRUE(received.at(0).at(0).toStringList().isEmpty());

    // The first instance keeps serving later starts.
    EXPECT_EQ(RunSecondStart(first.ServerName(), {QStringLiteral("b.mtr")}), 0);
    ASSERT_EQ(received.count(), 2);
    EXPECT_EQ(received.at(1).at(0).toStringList(), QStringList{QStringLiteral("b.mtr")});
}

TEST(SingleInstance, WithNobodyListeningTheStartRunsAsFirst) {
    EXPECT_EQ(RunSecondStart(UniqueName("nobody"), {QStringLiteral("a.mtr")}), 1);
}

TEST(SingleInstance, AnInstanceThatNeverAnswersIsGivenUpAfterTheTimeout) {
    // Accepts connections (the kernel does) but never reads or answers.
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(UniqueName("silent")));
    SingleInstance second(silent.serverName());
    EXPECT_FALSE(second.HandOver({QStringLiteral("a.mtr")}, 200));
}

TEST(SingleInstance, ASocketFileLeftBehindIsReplaced) {
    const QString name = UniqueName("stale");
    QFile leftover(QDir::tempPath() + QLatin1Char('/') + name);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();

    SingleInstance first(name);
    ASSERT_TRUE(first.Listen());
    QSignalSpy received(&first, &SingleInstance::ParametersReceived);
    EXPECT_EQ(RunSecondStart(name, {QStringLiteral("c.mtr")}), 0);
    EXPECT_EQ(received.count(), 1);
}

TEST(SingleInstance, ALiveInstanceKeepsItsNameAgainstALaterListener) {
    SingleInstance first(UniqueName("live"));
    ASSERT_TRUE(first.Listen());
    SingleInstance later(first.ServerName());
    EXPECT_FALSE(later.Listen());
    EXPECT_FALSE(later.IsListening());

    QSignalSpy received(&first, &SingleInstance::ParametersReceived);
    EXPECT_EQ(RunSecondStart(first.ServerName(), {QStringLiteral("d.mtr")}), 0);
    EXPECT_EQ(received.count(), 1);
}

TEST(SingleInstance, AMessageWithTooManyParametersIsRefused) {
    SingleInstance first(UniqueName("foreign"));
    ASSERT_TRUE(first.Listen());
    QSignalSpy received(&first, &SingleInstance::ParametersReceived);

    QLocalSocket peer;
    peer.connectToServer(first.ServerName());
    ASSERT_TRUE(peer.waitForConnected(5000));
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << quint32(11);
    for (int i = 0; i < 11; ++i) out << QStringLiteral("p");
    peer.write(message);
    peer.flush();
    QSignalSpy closed(&peer, &QLocalSocket::disconnected);
    EXPECT_TRUE(closed.wait(5000));
    EXPECT_EQ(received.count(), 0);
    EXPECT_EQ(peer.bytesAvailable(), 0);
}

TEST(SingleInstance, LimitKeepsTenParametersOfAtMostThreeHundredCharacters) {
    QStringList many;
    for (int i = 0; i < 11; ++i) many << QString(299 + i, QLatin1Char('a' + i));
    const QStringList limited = SingleInstance::Limit(many);
    ASSERT_EQ(limited.size(), 10);
    EXPECT_EQ(limited.at(0).size(), 299);
    EXPECT_EQ(limited.at(1).size(), 300);
    EXPECT_EQ(limited.at(2), QString(300, QLatin1Char('c')));
}

TEST(SingleInstance, DefaultNameCarriesTheExecutableAndTheUser) {
    const QString name = SingleInstance::DefaultServerName();
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_TRUE(name.startsWith(program + QLatin1Char('-'))) << name.toStdString();
    EXPECT_TRUE(name.endsWith(QLatin1Char('-') + QString::number(::getuid()))) << name.toStdString();
}

} // namespace
} // namespace vexamo
