#include "ComputerFixture.h"

#include "ai/AIController.h"
#include "model/CodeTables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace Marevane::ComputerAI::Testing {

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "ai-controller-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

} // namespace

class AIControllerTest : public ComputerFixture {};

TEST_F(AIControllerTest, OnlyAComputerUnitIsAccepted)
{
    const char* text = "CAIController::CAIController(): Computer Unit data is invalid.";
    for (CUnit* unit : {static_cast<CUnit*>(nullptr), ann}) {
        try {
            CAIController controller(unit);
            ADD_FAILURE() << "no exception";
        } catch (const CUnitDataError& error) {
            EXPECT_STREQ(error.what(), text);
        }
    }
    ann->SetUnitType(UnitWatching);
    EXPECT_THROW(CAIController{ann}, CUnitDataError);
    CAIController controller(com);
    EXPECT_EQ(controller.GetUnit(), com);
    EXPECT_EQ(controller.parent(), nullptr);
}

TEST_F(AIControllerTest, RunOnItsThreadCompletesWith53OnTheGuiThread)
{
    App();
    com->OnMessage(45);
    com->OnMessage(51);
    QObject receiver;
    std::vector<MessageCode> codes;
    bool onGuiThread = false;
    MessageCode checked = 0;

    auto* thread = new QThread;
    auto* controller = new CAIController(com);
    controller->moveToThread(thread);
    QObject::connect(thread, &QThread::started, controller, &CAIController::Run);
    QObject::connect(
        controller, &CAIController::Completed, &receiver,
        [&](MessageCode code) {
            codes.push_back(code);
            onGuiThread = QThread::currentThread() == receiver.thread();
            // The command is read while the worker still waits.
            checked = com->CheckCommandInput();
        },
        Qt::BlockingQueuedConnection);
    QObject::connect(controller, &CAIController::Completed, thread, &QThread::quit);
    thread->start();

    QElapsedTimer clock;
    clock.start();
    // The quit reaches the thread object through this thread's events.
    while (!thread->isFinished() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_TRUE(thread->wait(5000));
    delete controller;
    delete thread;
    EXPECT_EQ(codes, std::vector<MessageCode>{53});
    EXPECT_TRUE(onGuiThread);
    EXPECT_FALSE(IsErrorCode(checked)) << checked;
}

} // namespace Marevane::ComputerAI::Testing
