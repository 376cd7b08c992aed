#pragma once
// What SDL does not tell about the game's window on X11: whether a window manager runs (without
// one, desktop full screen leaves the window at its old size) and whether another program destroyed
// the window (Xlib would end the program over the errors that follow). Elsewhere (Wayland, SDL's
// dummy driver) the answers are "a manager runs" and "never destroyed".

struct SDL_Window;
union SDL_Event;

namespace kv::x11 {

// Before SDL starts: puts our Xlib error handler under SDL's, so that SDL, which puts back the
// handler it found when it quits, leaves ours in place while it closes its connections.
void installErrorHandler();
// Starts watching the window: Xlib errors about it mark it gone instead of ending the program, and
// so does its DestroyNotify, which SDL hands over as a system event (enabled here).
void watchWindow(SDL_Window* window);
// Before SDL destroys the window: SDL first hides a window it believes shown and waits for the X
// server's word that it was unmapped. A window destroyed along with its frame (by a window manager
// or through it) was never unmapped itself, so the word never comes and SDL would wait for ever:
// when the window is gone, a stand-in for that word is queued.
void beforeWindowDestroyed();
// After SDL destroyed the window: waits until the X server has answered every request about it, so
// no late error about it is left over; the watch ends (unless the window was gone already).
void forgetWindow();
// True once the watched window was destroyed by someone else.
bool windowGone();

// True when an EWMH window manager runs on the window's screen (or the window is not on X11).
bool windowManagerRuns(SDL_Window* window);

// The event source hands over SDL's system events: the window's DestroyNotify marks it gone.
void noteSystemEvent(const SDL_Event& event);

}  // namespace kv::x11
