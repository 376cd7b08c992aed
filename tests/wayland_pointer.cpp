// A virtual pointer for the end-to-end test under a wlroots compositor (sway), which has no input
// devices when it runs headless: it joins the compositor's seat through the virtual-pointer protocol
// and takes commands from stdin, one a line, answering "ok" once the compositor has them:
//   move X Y     the pointer to X, Y of the WIDTH x HEIGHT output
//   click        a left-button press and release where it is
//
//   kv_wayland_pointer WIDTH HEIGHT
//
// The protocol is small enough to describe here by hand: its requests in order, with libwayland's
// signature letters (u uint, i int, f fixed, o object, ? nullable, n new object).
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

extern const wl_interface kVirtualPointer;

const wl_interface* kCreateTypes[] = {&wl_seat_interface, &kVirtualPointer};
const wl_interface* kNoTypes[] = {nullptr, nullptr, nullptr, nullptr, nullptr};
const wl_message kManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreateTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kVirtualPointerManager = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, nullptr};

const wl_message kPointerRequests[] = {
    {"motion", "uff", kNoTypes},   {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},   {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},       {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes}, {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kVirtualPointer = {"zwlr_virtual_pointer_v1", 1, 9, kPointerRequests, 0, nullptr};

enum Request : uint32_t { kMotionAbsolute = 1, kButton = 2, kFrame = 4 };
constexpr uint32_t kLeftButton = 0x110;  // BTN_LEFT

struct Globals {
  wl_seat* seat = nullptr;
  wl_proxy* manager = nullptr;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* g = static_cast<Globals*>(data);
  if (std::strcmp(interface, "wl_seat") == 0 && !g->seat) {
    g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, kVirtualPointerManager.name) == 0) {
    g->manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kVirtualPointerManager, 1));
  }
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener{onGlobal, onGlobalRemove};

uint32_t nowMs() {
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
    return 2;
  }
  const uint32_t width = static_cast<uint32_t>(std::atoi(argv[1])),
                 height = static_cast<uint32_t>(std::atoi(argv[2]));
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "no Wayland compositor to connect to\n");
    return 1;
  }
  Globals g;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &g);
  wl_display_roundtrip(display);
  if (!g.seat || !g.manager) {
    std::fprintf(stderr, "the compositor offers no %s\n", g.seat ? "virtual pointer" : "seat");
    return 1;
  }
  wl_proxy* pointer = wl_proxy_marshal_constructor(g.manager, 0, &kVirtualPointer, g.seat, nullptr);
  wl_display_roundtrip(display);
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command == "move") {
      uint32_t x = 0, y = 0;
      in >> x >> y;
      wl_proxy_marshal(pointer, kMotionAbsolute, nowMs(), x, y, width, height);
      wl_proxy_marshal(pointer, kFrame);
    } else if (command == "click") {
      for (uint32_t state : {1u, 0u}) {
        wl_proxy_marshal(pointer, kButton, nowMs(), kLeftButton, state);
        wl_proxy_marshal(pointer, kFrame);
      }
    } else {
      std::fprintf(stderr, "unknown command: %s\n", line.c_str());
      continue;
    }
    if (wl_display_roundtrip(display) < 0) {
      std::fprintf(stderr, "the compositor went away\n");
      return 1;
    }
    std::cout << "ok" << std::endl;
  }
  wl_display_disconnect(display);
  return 0;
}
