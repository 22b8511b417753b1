#include "vexlo9/model/Event.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexlo9 {
namespace {

TEST(Event, HandlersMayConnectAndDisconnectWhileRaised) {
  Event<int> event;
  std::vector<std::string> calls;
  Event<int>::Token self = 0;
  self = event.Connect([&](int n) {
    calls.push_back("once " + std::to_string(n));
    event.Disconnect(self);
  });
  event.Connect([&](int n) {
    calls.push_back("always " + std::to_string(n));
    if (n == 1) event.Connect([&](int m) { calls.push_back("late " + std::to_string(m)); });
  });
  event.Raise(1);
  event.Raise(2);
  const std::vector<std::string> expected = {"once 1", "always 1", "always 2", "late 2"};
  EXPECT_EQ(calls, expected);
}

TEST(Event, DisconnectedHandlersAreNotCalled) {
  Event<> event;
  int a = 0, b = 0;
  const auto tokenA = event.Connect([&] { ++a; });
  event.Connect([&] { ++b; });
  event.Disconnect(tokenA);
  event.Raise();
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  event.Disconnect(12345);  // unknown tokens are ignored
  event.Raise();
  EXPECT_EQ(b, 2);
}

}  // namespace
}  // namespace vexlo9
