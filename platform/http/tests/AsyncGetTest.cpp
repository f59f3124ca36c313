#include "platform/http/AsyncGet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/environment/TestSupport.h"
#include "platform/http/Http.h"
#include "platform/http/tests/Support.h"
#include "platform/http/tests/TestServer.h"

using namespace platform::http;
using platform::environment::TempEnvironment;
using test::TestServer;

namespace {

// Polls as a browser control's owner does, until the stage is reached (or clearly never).
bool ReachesStage(const AsyncGet& get, GetStage wanted) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (get.stage() != wanted) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class AsyncGetTest : public ::testing::Test {
 protected:
  TempEnvironment env_;
  TestServer server_;
};

}  // namespace

TEST_F(AsyncGetTest, PassesThroughEachStageAsTheAnswerArrives) {
  AsyncGet get(server_.Url("/staged"));
  ASSERT_TRUE(ReachesStage(get, GetStage::HeadersReceived));
  EXPECT_EQ(get.status(), 200);
  EXPECT_EQ(get.getResponseHeader("Content-Length"), "12");
  EXPECT_EQ(get.body(), "");

  server_.Release(1);
  ASSERT_TRUE(ReachesStage(get, GetStage::ReceivingBody));
  EXPECT_EQ(get.body(), "first ");
  EXPECT_FALSE(get.finished());

  server_.Release(2);
  ASSERT_TRUE(get.Wait(std::chrono::seconds(20)));
  EXPECT_EQ(get.stage(), GetStage::Complete);
  EXPECT_EQ(get.text(), "first second");
}

TEST_F(AsyncGetTest, AnErrorStatusStillCompletes) {
  AsyncGet get(server_.Url("/status?code=404"));
  ASSERT_TRUE(get.Wait(std::chrono::seconds(20)));
  EXPECT_EQ(get.stage(), GetStage::Complete);
  EXPECT_EQ(get.status(), 404);
  EXPECT_EQ(get.body(), "status 404");
}

TEST_F(AsyncGetTest, FailsWithTheTransportError) {
  AsyncGet get("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/");
  ASSERT_TRUE(get.Wait(std::chrono::seconds(20)));
  EXPECT_EQ(get.stage(), GetStage::Failed);
  EXPECT_EQ(get.errorNumber(), err::ResourceNotFound);
  EXPECT_EQ(get.errorDescription(), ErrorDescription(err::ResourceNotFound));
}

TEST_F(AsyncGetTest, CancelEndsAPendingGet) {
  AsyncGet get(server_.Url("/delay?ms=60000"));
  get.Cancel();
  ASSERT_TRUE(get.Wait(std::chrono::seconds(20)));
  EXPECT_EQ(get.stage(), GetStage::Failed);
  EXPECT_EQ(get.errorNumber(), err::Aborted);
}
