#pragma once
// The signals that end a program from outside: SIGTERM (the desktop at logout), SIGINT (Ctrl+C in
// its terminal) and SIGHUP (its terminal closed). While the desktop back end runs they do not kill
// the game: they ask it to stop, and it closes as when its window is closed, with the music
// stopped and the trace finished. A second signal of the same kind kills it as before, in case the
// game cannot close.
namespace kv::stop_signals {

// Catches the three, except any the program was started with ignored (under nohup, or as a
// background job of a shell without job control), which stay ignored. Forgets an earlier request.
void install();
// Puts back what was there before install, and forgets the request.
void restore();
// True once one of them arrived since install; safe from any thread.
bool requested();

}  // namespace kv::stop_signals
