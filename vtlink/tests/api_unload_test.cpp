// Unloading the library with a link still open closes the link: the adapter gets the link
// close frame, the port is released and no timer is left on the loop.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "i2c_scripted_adapter.h"
#include "platform/clock.h"
#include "platform/loop.h"
#include "platform/vtloop.h"
#include "vtlink/vtlink.h"

namespace vtlink_test {
namespace {

TEST(Unload, ClosesAnOpenLink) {
  platform::VirtualClock clock;
  ScriptedAdapter adapter(9);
  void* library = dlopen(VTLINK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto open = reinterpret_cast<decltype(&I2COpen)>(dlsym(library, "I2COpen"));
  auto getStatus = reinterpret_cast<decltype(&I2CGetStatus)>(dlsym(library, "I2CGetStatus"));
  ASSERT_NE(open, nullptr);
  ASSERT_NE(getStatus, nullptr);

  const uint32_t window = VTLoopCreateWindow();
  I2CLinkRecord record{};
  record.ComPortNo = 9;
  record.WmMsgNo = 1024;
  record.HostSlaveAddr = 0x6E;
  record.MasterBitRate = 1;
  ASSERT_EQ(open(window, 0, &record), 0u);
  I2CLinkRecord seen{};
  for (int i = 0; i < 100 && seen.LinkStatus == 0; ++i) {
    clock.advance(50);
    adapter.pump();
    getStatus(&seen);
  }
  ASSERT_EQ(seen.LinkStatus, 1u);
  adapter.takeCommands();

  ASSERT_EQ(dlclose(library), 0);
  adapter.pump();
  EXPECT_EQ(adapter.takeCommands(), std::vector<Bytes>{Bytes{0x51}});
  EXPECT_FALSE(adapter.hostOpen());
  platform::Loop& loop = platform::Loop::current();
  EXPECT_EQ(loop.timerCount(), 0u);
  platform::Message message;
  while (loop.getMessage(message, 0)) {
  }
  loop.destroyWindow(window);
}

}  // namespace
}  // namespace vtlink_test
