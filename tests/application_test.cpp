#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/components/application.h"
#include "platform/components/push_button.h"
#include "platform/headless/headless_backend.h"

namespace kv {
namespace {

struct RecordingForm : FormEventSink {
  std::vector<std::string> log;
  void onKeyDown(int vk) override { log.push_back("key " + std::to_string(vk)); }
  void onMouseMove(int x, int y) override {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void onCloseRequest() override { log.push_back("close"); }
  void onMinimize() override { log.push_back("minimize"); }
  void onRestore() override { log.push_back("restore"); }
  void onMoveSizeStart() override { log.push_back("size start"); }
  void onMoveSizeEnd() override { log.push_back("size end"); }
};

class ApplicationTest : public ::testing::Test {
 protected:
  ApplicationTest() : backend(60, {}), platform(backend.platform()), app(platform) {
    backend.events.setQuitWhenDone(false);
    app.setForm(&form);
  }
  void at(uint64_t ms, Event::Kind kind, int x = 0, int y = 0, int vk = 0) {
    Event e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.vk = vk;
    backend.events.push({ms, e});
  }
  void clickAt(uint64_t ms, int x, int y) {
    at(ms, Event::Kind::MouseDown, x, y);
    at(ms, Event::Kind::MouseUp, x, y);
  }

  HeadlessBackend backend;
  Platform platform;
  TApplication app;
  RecordingForm form;
};

TEST_F(ApplicationTest, IdleHandlerRunsOnlyWhenNoEventIsPending) {
  std::vector<std::string> order;
  form.log.clear();
  app.setIdleHandler([&](bool& done) {
    order.push_back("idle at " + std::to_string(backend.clock.nowMs()) + " after " +
                    std::to_string(form.log.size()) + " events");
    done = false;
    if (order.size() == 3) app.Terminate();
    backend.clock.advanceTo(backend.clock.nowNs() + 5'000'000);
  });
  at(0, Event::Kind::KeyDown, 0, 0, 65);
  at(0, Event::Kind::KeyDown, 0, 0, 66);
  at(5, Event::Kind::KeyDown, 0, 0, 67);
  app.Run();
  EXPECT_EQ(order, (std::vector<std::string>{"idle at 0 after 2 events", "idle at 5 after 3 events",
                                             "idle at 10 after 3 events"}));
}

TEST_F(ApplicationTest, WithAnEmptySlotTheLoopWaitsForTheNextEvent) {
  at(2500, Event::Kind::KeyDown, 0, 0, 49);
  at(4000, Event::Kind::Quit);
  // Quit goes to the form, which ends the program here.
  struct ClosingForm : RecordingForm {
    TApplication* app = nullptr;
    void onCloseRequest() override {
      RecordingForm::onCloseRequest();
      app->Terminate();
    }
  } closing;
  closing.app = &app;
  app.setForm(&closing);
  app.Run();
  EXPECT_EQ(closing.log, (std::vector<std::string>{"key 49", "close"}));
  EXPECT_EQ(backend.clock.nowMs(), 4000u);  // time moved only by waiting
}

TEST_F(ApplicationTest, AnExceptionFromAHandlerIsPrintedAndTheProgramGoesOn) {
  TButton b(app, "Boom", 10, 10, 50, 20);
  int clicks = 0;
  b.OnClick = [&] {
    ++clicks;
    throw std::runtime_error("the handler failed");
  };
  clickAt(0, 20, 20);
  at(0, Event::Kind::KeyDown, 0, 0, 32);
  testing::internal::CaptureStderr();
  app.ProcessMessages();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("the handler failed"), std::string::npos);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form.log, (std::vector<std::string>{"key 32"}));  // the next message was still handled
}

TEST_F(ApplicationTest, PointerGoesToVisibleButtonsAndClicksCountOnRelease) {
  TButton play(app, "Play", 331, 407, 127, 57);
  TButton hidden(app, "1", 309, 470, 25, 25);
  hidden.SetVisible(false);
  TButton disabled(app, "2", 340, 470, 25, 25);
  disabled.SetEnabled(false);
  int playClicks = 0, hiddenClicks = 0, disabledClicks = 0;
  play.OnClick = [&] { ++playClicks; };
  hidden.OnClick = [&] { ++hiddenClicks; };
  disabled.OnClick = [&] { ++disabledClicks; };

  at(0, Event::Kind::MouseMove, 400, 430);  // over Play: the display does not see it
  at(0, Event::Kind::MouseMove, 100, 100);  // over the display
  at(0, Event::Kind::MouseMove, 320, 480);  // over the hidden button: the display sees it
  clickAt(0, 320, 480);                     // hidden buttons take no clicks
  clickAt(0, 350, 480);                     // disabled buttons do not respond
  clickAt(0, 400, 430);                     // a click on Play
  at(0, Event::Kind::MouseDown, 400, 430);  // pressed on Play, released beside it: no click
  at(0, Event::Kind::MouseUp, 600, 430);
  app.ProcessMessages();
  EXPECT_EQ(playClicks, 1);
  EXPECT_EQ(hiddenClicks, 0);
  EXPECT_EQ(disabledClicks, 0);
  EXPECT_EQ(form.log, (std::vector<std::string>{"move 100,100", "move 320,480"}));
}

TEST_F(ApplicationTest, AHeldButtonLooksPressedOnlyWhileThePointerIsOverIt) {
  TButton play(app, "Play", 331, 407, 127, 57);
  auto pressedOnScreen = [&] {
    for (const ButtonView& v : backend.display.buttons())
      if (v.caption == "Play") return v.pressed;
    ADD_FAILURE() << "Play is not on the screen";
    return false;
  };
  at(0, Event::Kind::MouseDown, 400, 430);
  app.ProcessMessages();
  EXPECT_TRUE(pressedOnScreen());
  at(0, Event::Kind::MouseMove, 700, 100);  // dragged off: the button pops up, the display sees nothing
  app.ProcessMessages();
  EXPECT_FALSE(pressedOnScreen());
  EXPECT_TRUE(form.log.empty());
  at(0, Event::Kind::MouseMove, 400, 430);
  app.ProcessMessages();
  EXPECT_TRUE(pressedOnScreen());
  int clicks = 0;
  play.OnClick = [&] { ++clicks; };
  at(0, Event::Kind::MouseUp, 400, 430);
  app.ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(pressedOnScreen());
}

TEST_F(ApplicationTest, HiddenButtonsAreNotDrawn) {
  TButton a(app, "Play", 331, 407, 127, 57);
  TButton b(app, "Stop", 16, 8, 75, 25);
  b.SetVisible(false);
  ASSERT_EQ(backend.display.buttons().size(), 1u);
  EXPECT_EQ(backend.display.buttons()[0].caption, "Play");
  a.SetVisible(false);
  b.SetVisible(true);
  ASSERT_EQ(backend.display.buttons().size(), 1u);
  EXPECT_EQ(backend.display.buttons()[0].caption, "Stop");
}

TEST_F(ApplicationTest, KeysReachTheFormAndTheKeyboardState) {
  at(0, Event::Kind::KeyDown, 0, 0, 37);
  at(0, Event::Kind::KeyUp, 0, 0, 37);
  app.ProcessMessages();
  EXPECT_EQ(form.log, (std::vector<std::string>{"key 37"}));
  // A tap between two snapshots still shows once.
  std::array<uint8_t, 256> keys{};
  app.keyboard().snapshot(keys);
  EXPECT_EQ(keys[37], 0x80);
  app.keyboard().snapshot(keys);
  EXPECT_EQ(keys[37], 0);
}

}  // namespace
}  // namespace kv
