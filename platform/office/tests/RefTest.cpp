#include "platform/office/Application.h"
#include "platform/office/Events.h"
#include "platform/office/Ref.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace platform::office;

namespace {
struct Thing {
  int value = 7;
};

class FakeApp : public Application {
 public:
  std::string Name() const override { return "Fake"; }
  office::CommandBars& CommandBars() override { Raise(err::ObjectNotSet); }
  std::string StatusBar() const override { return status; }
  void SetStatusBar(std::string_view text) override { status = text; }
  std::string status;
};
}  // namespace

TEST(Ref, NothingRaisesObjectNotSet) {
  Ref<Thing> nothing;
  EXPECT_TRUE(nothing.IsNothing());
  try {
    (void)nothing->value;
    FAIL() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), 91);
  }
  Ref<Thing> thing(std::make_shared<Thing>());
  EXPECT_EQ(thing->value, 7);
  Ref<Thing> same = thing;
  EXPECT_TRUE(same.Is(thing));
  same.Reset();
  EXPECT_TRUE(same == nullptr);
}

TEST(EventSource, HandlerDisconnectedDuringRaiseIsNotCalled) {
  EventSource<int> source;
  std::vector<int> calls;
  EventConnection second;
  EventConnection first = source.Connect([&](int v) {
    calls.push_back(v);
    second.Disconnect();
  });
  second = source.Connect([&](int v) { calls.push_back(v * 10); });
  source.Raise(1);
  EXPECT_EQ(calls, std::vector<int>{1});
  {
    EventConnection scoped = source.Connect([&](int v) { calls.push_back(v * 100); });
  }
  source.Raise(2);
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
}

TEST(EventSource, ConnectionOutlivingTheSourceDisconnectsQuietly) {
  EventConnection connection;
  {
    EventSource<> source;
    connection = source.Connect([] {});
  }
  connection.Disconnect();
  EXPECT_FALSE(connection.connected());
}

TEST(RunningObjects, RegisteredApplicationIsFoundUntilRevoked) {
  auto app = std::make_shared<FakeApp>();
  RegisterActiveObject("Fake.Application", Ref<Application>(app));
  GetActiveObject("fake.application")->SetStatusBar("hi");
  EXPECT_EQ(app->status, "hi");
  RevokeActiveObject("Fake.Application", app.get());
  try {
    GetActiveObject("Fake.Application");
    FAIL() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kCannotCreateObjectError);
  }
}
